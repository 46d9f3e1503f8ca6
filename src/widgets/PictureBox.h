#pragma once

#include <QImage>
#include <QWidget>

// The picture files of the information pages, embedded in the program.
inline const QString LogoPicture = QStringLiteral(":/pictures/logo.jpg");
inline const QString GeneralViewPicture = QStringLiteral(":/pictures/generalview.jpg");
inline const QString DimensionPicture = QStringLiteral(":/pictures/dimension.jpg");
inline const QString SignalClassificationPicture
    = QStringLiteral(":/pictures/signalclassification.jpg");

// True when `bytes` hold one whole JPEG stream: start of image, marker segments, entropy-coded
// data and the end-of-image marker. A truncated or garbled file fails here before the decoder
// would fill its missing part with grey.
bool IsCompleteJpeg(const QByteArray &bytes);

// Decodes the JPEG picture `fileName` straight at `pixelSize`: the decoder's DCT scaling does
// most of the shrinking, so a large picture is never decoded whole. A null image when the
// file cannot be read or is not a whole JPEG stream.
QImage DecodePicture(const QString &fileName, const QSize &pixelSize);

// An image control: it sizes itself to its picture but never beyond its maximum box and
// stretches the picture to fill itself, without keeping the aspect ratio.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Places the control at x, y and loads its picture, decoded once at the size it is shown
    // on this screen, when first painted or asked for. A picture that cannot be decoded leaves
    // the control empty at its box.
    void loadPicture(const QString &fileName, int x, int y, const QSize &maximum);

    bool isEmpty() const { return picture().isNull(); }
    const QImage &picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    mutable QByteArray m_pending; // the checked file, until it is decoded
    mutable QImage m_picture;
};

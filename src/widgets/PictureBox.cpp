#include "PictureBox.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace {
constexpr unsigned char Marker = 0xFF;
constexpr unsigned char StartOfImage = 0xD8;
constexpr unsigned char EndOfImage = 0xD9;
constexpr unsigned char StartOfScan = 0xDA;

bool isRestart(unsigned char code)
{
    return code >= 0xD0 && code <= 0xD7;
}
} // namespace

bool IsCompleteJpeg(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || data[0] != Marker || data[1] != StartOfImage)
        return false;
    qsizetype pos = 2;
    bool sawScan = false;
    while (pos + 1 < size) {
        if (data[pos] != Marker)
            return false;
        const unsigned char code = data[pos + 1];
        if (code == Marker) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (code == EndOfImage)
            return sawScan;
        if (code == StartOfImage || isRestart(code) || code == 0x00)
            return false;
        if (pos + 3 >= size)
            return false;
        const int length = (data[pos + 2] << 8) | data[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            return false;
        pos += 2 + length;
        if (code != StartOfScan)
            continue;
        // Entropy-coded data: runs until a marker other than a stuffed zero or a restart.
        sawScan = true;
        while (pos + 1 < size) {
            if (data[pos] == Marker && data[pos + 1] != 0x00 && !isRestart(data[pos + 1])
                && data[pos + 1] != Marker)
                break;
            ++pos;
        }
    }
    return false;
}

namespace {
QByteArray readPicture(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage decode(QByteArray &bytes, const QSize &pixelSize)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    // The JPEG plugin alone: a reader free to guess would load every image plugin installed.
    reader.setAutoDetectImageFormat(false);
    reader.setScaledSize(pixelSize);
    QImage image = reader.read();
    if (image.isNull() || image.size() != pixelSize)
        return {};
    return image;
}

QSize naturalSize(QByteArray &bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoDetectImageFormat(false);
    return reader.size();
}
} // namespace

QImage DecodePicture(const QString &fileName, const QSize &pixelSize)
{
    QByteArray bytes = readPicture(fileName);
    if (!IsCompleteJpeg(bytes))
        return {};
    return decode(bytes, pixelSize);
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::loadPicture(const QString &fileName, int x, int y, const QSize &maximum)
{
    // Checked whole before the decoder sees it: a damaged file leaves the box empty, silently.
    QByteArray bytes = readPicture(fileName);
    const bool whole = IsCompleteJpeg(bytes);
    // The control takes the picture's own size but never grows beyond its maximum.
    QSize size = maximum;
    if (whole) {
        const QSize natural = naturalSize(bytes);
        if (natural.isValid())
            size = natural.boundedTo(maximum);
    }
    setGeometry(x, y, size.width(), size.height());

    m_picture = QImage();
    m_pending = whole ? bytes : QByteArray();
    update();
}

const QImage &PictureBox::picture() const
{
    // Decoded when first needed: most pages are never opened, and decoding all four at start-up
    // was a quarter of the start-up time.
    if (!m_pending.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels(qRound(width() * ratio), qRound(height() * ratio));
        m_picture = decode(m_pending, pixels);
        m_picture.setDevicePixelRatio(ratio);
        m_pending.clear();
    }
    return m_picture;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (picture().isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_picture);
}

#pragma once

#include "MessageBox.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QPushButton>

class QLabel;
class QLineEdit;

// Windows-style colour values used by the layouts (clRed, clGreen, clBlue, ...).
namespace Colours {
inline const QColor Red {255, 0, 0};
inline const QColor Green {0, 128, 0};
inline const QColor Blue {0, 0, 255};
} // namespace Colours

// The conventions every window of the program shares: a fixed layout in client coordinates,
// a caption with its blanks, a frame with system menu and minimise box and no maximise box,
// centred on its outer size the first time it is shown and reopened where it was left, closing
// only hides, Escape closes nothing, Enter presses only the button that has the focus.
// Mnemonics come from "&" in captions.
class FormBase : public QDialog
{
    Q_OBJECT
public:
    enum class Frame { Sizeable, FixedDialog };

    explicit FormBase(Frame frame = Frame::Sizeable, QWidget *parent = nullptr);

    // Shows the window modally; returns when it is closed (hidden).
    int showModal();

    // "MS Sans Serif" at a character height in pixels (Liberation Sans Narrow standing in for it
    // where it is not installed).
    static QFont layoutFont(int pixelHeight, bool bold = false, bool italic = false);

    // The outer size asked for, or an invalid size when the layout gives a client size.
    QSize outerSize() const { return m_outerSize; }

    void setVisible(bool visible) override;

    // Gives `control` the focus every time the window opens, so that Enter presses it even when
    // the window was last closed with the focus elsewhere (a memo, say, closed by its close box).
    void setFocusOnOpening(QWidget *control);

protected:
    // Connects a button to a handler of this window. The handler runs guarded: nothing it
    // throws reaches Qt's event dispatch.
    template<class Window> void onClick(QPushButton *button, void (Window::*handler)())
    {
        connect(button, &QPushButton::clicked, this, [this, handler] {
            RunGuarded([this, handler] { (static_cast<Window *>(this)->*handler)(); });
        });
    }

    void setClientSize(int width, int height);
    // Fits the client so that the frame the window system reports plus the client make this.
    void setOuterSize(int width, int height);
    // Enter anywhere but on another button presses `button`, as in a dialog box. Without this
    // no button is ever a default, neither set nor automatic.
    void setDefaultButton(QPushButton *button);

    // Controls are created with the name of their role (their object name) and placed at a
    // position in client coordinates, or in `parent`'s.
    QPushButton *addButton(const char *name, const QString &caption, int x, int y, int width = 75,
        int height = 25, QWidget *parent = nullptr);
    QLabel *addLabel(const char *name, const QString &text, int x, int y, const QFont &font,
        const QColor &colour = QColor(), QWidget *parent = nullptr);
    QLineEdit *addEdit(const char *name, int x, int y, int width, int height, bool readOnly,
        bool tabStop, const QFont &font, QWidget *parent = nullptr);
    static void setTextColour(QWidget *widget, const QColor &colour);
    // Sets an edit field's text so that a text wider than the field shows its beginning.
    static void setTextFromStart(QLineEdit *edit, const QString &text);

    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void withdrawDefaultButtons();
    void centre();
    void frameReported();
    void fitOuterSize();

    Frame m_frame;
    QSize m_outerSize;
    bool m_placed = false;
    bool m_centrePending = false;
    bool m_frameFitted = false;
    QPointer<QWidget> m_openingFocus;
    QPushButton *m_defaultButton = nullptr;
};

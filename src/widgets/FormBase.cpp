#include "FormBase.h"

#include "LayoutFont.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

FormBase::FormBase(Frame frame, QWidget *parent)
    : QDialog(parent)
    , m_frame(frame)
{
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
    if (frame == Frame::Sizeable)
        flags |= Qt::Window | Qt::WindowMinimizeButtonHint;
    else
        flags |= Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);
    setSizeGripEnabled(false);
    setFont(layoutFont(11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

int FormBase::showModal()
{
    return exec();
}


QFont FormBase::layoutFont(int pixelHeight, bool bold, bool italic)
{
    return LayoutFont(pixelHeight, bold, italic);
}

void FormBase::setClientSize(int width, int height)
{
    m_outerSize = QSize();
    if (m_frame == Frame::FixedDialog)
        setFixedSize(width, height);
    else
        resize(width, height);
}

void FormBase::setOuterSize(int width, int height)
{
    m_outerSize = QSize(width, height);
    fitOuterSize();
}

void FormBase::fitOuterSize()
{
    if (!m_outerSize.isValid() || m_frameFitted)
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    // A window manager reports its frame only after the window is mapped; fit once it has.
    m_frameFitted = !frame.isNull();
    const QSize client = m_outerSize - frame;
    if (m_frame == Frame::FixedDialog)
        setFixedSize(client);
    else if (size() != client)
        resize(client);
}

void FormBase::frameReported()
{
    if ((frameGeometry().size() - geometry().size()).isNull())
        return;
    fitOuterSize();
    // Placed before the frame was known, on the client size: centre again on the outer size.
    if (m_centrePending) {
        m_centrePending = false;
        centre();
    }
}

QPushButton *FormBase::addButton(
    const char *name, const QString &caption, int x, int y, int width, int height, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent ? parent : this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, width, height);
    return button;
}

QLabel *FormBase::addLabel(const char *name, const QString &text, int x, int y, const QFont &font,
    const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent ? parent : this);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    if (colour.isValid())
        setTextColour(label, colour);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit *FormBase::addEdit(const char *name, int x, int y, int width, int height, bool readOnly,
    bool tabStop, const QFont &font, QWidget *parent)
{
    auto *edit = new QLineEdit(parent ? parent : this);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, width, height);
    edit->setFont(font);
    edit->setReadOnly(readOnly);
    if (!tabStop)
        edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

void FormBase::setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void FormBase::setTextFromStart(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

void FormBase::setVisible(bool visible)
{
    if (visible) {
        withdrawDefaultButtons();
        if (!m_placed) {
            m_placed = true;
            m_centrePending = true;
            centre();
        }
    } else {
        // Never told its frame while shown: where it was put is where it stays.
        m_centrePending = false;
    }
    QDialog::setVisible(visible);
}

void FormBase::centre()
{
    // left = (screen width - window width) / 2, likewise top; the window's size is its outer
    // one, frame included, once the window system has told it.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize outer = m_outerSize.isValid() ? m_outerSize : frameGeometry().size();
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - outer.width()) / 2,
        area.y() + (area.height() - outer.height()) / 2);
}

void FormBase::setDefaultButton(QPushButton *button)
{
    m_defaultButton = button;
    button->setDefault(true);
}

void FormBase::withdrawDefaultButtons()
{
    // A window with a default button behaves as a dialog box: the focus carries the default.
    if (m_defaultButton)
        return;
    // QDialog makes a button an automatic default when it shows or the button takes the focus,
    // and Enter in any field would then press it. Buttons of windows opened from this one
    // (a file dialog, say) are theirs to keep.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        if (button->window() != this)
            continue;
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void FormBase::setFocusOnOpening(QWidget *control)
{
    m_openingFocus = control;
    control->setFocus();
}

void FormBase::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_openingFocus)
        m_openingFocus->setFocus(Qt::OtherFocusReason);
    // No default frame marks the button that Enter presses: its focus frame shows from the start.
    setAttribute(Qt::WA_KeyboardFocusChange);
    frameReported();
}

void FormBase::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    frameReported();
}

void FormBase::keyPressEvent(QKeyEvent *event)
{
    // No window has a cancel button: Escape closes nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    // Enter presses the button that has the focus and nothing else: a field, a grid or a memo
    // that lets it through must not reach a button the user did not choose.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier && !m_defaultButton) {
        event->accept();
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        if (button && button->hasFocus() && button->isEnabled())
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

#include "FormBase.h"

#include "plot/LayoutFont.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TFormBase::TFormBase(Frame frame, QWidget *parent)
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
    setFont(MsSansSerif(11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

int TFormBase::ShowModal()
{
    return exec();
}

QFont TFormBase::MsSansSerif(int pixelHeight, bool bold, bool italic)
{
    return LayoutFont(pixelHeight, bold, italic);
}

void TFormBase::setClientSize(int width, int height)
{
    m_outerSize = QSize();
    if (m_frame == Frame::FixedDialog)
        setFixedSize(width, height);
    else
        resize(width, height);
}

void TFormBase::setOuterSize(int width, int height)
{
    m_outerSize = QSize(width, height);
    fitOuterSize();
}

void TFormBase::fitOuterSize()
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

QPushButton *TFormBase::addButton(
    const QString &caption, int x, int y, int width, int height, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent ? parent : this);
    button->setGeometry(x, y, width, height);
    return button;
}

QLabel *TFormBase::addLabel(
    const QString &text, int x, int y, const QFont &font, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent ? parent : this);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    if (colour.isValid())
        setTextColour(label, colour);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit *TFormBase::addEdit(int x, int y, int width, int height, bool readOnly, bool tabStop,
    const QFont &font, QWidget *parent)
{
    auto *edit = new QLineEdit(parent ? parent : this);
    edit->setGeometry(x, y, width, height);
    edit->setFont(font);
    edit->setReadOnly(readOnly);
    if (!tabStop)
        edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

void TFormBase::setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void TFormBase::setTextFromStart(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

void TFormBase::setVisible(bool visible)
{
    if (visible && !m_placed) {
        // Centred the first time: left = (screen width - window width) / 2, likewise top.
        m_placed = true;
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize outer = m_outerSize.isValid() ? m_outerSize : frameGeometry().size();
        if (screen) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
        }
    }
    QDialog::setVisible(visible);
}

void TFormBase::setFocusOnOpening(QWidget *control)
{
    m_openingFocus = control;
    control->setFocus();
}

void TFormBase::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_openingFocus)
        m_openingFocus->setFocus(Qt::OtherFocusReason);
    fitOuterSize();
}

void TFormBase::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    fitOuterSize();
}

void TFormBase::keyPressEvent(QKeyEvent *event)
{
    // No window has a cancel button: Escape closes nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

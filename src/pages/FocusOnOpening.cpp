#include "FocusOnOpening.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {
class FocusFilter : public QObject
{
public:
    FocusFilter(QWidget *window, QWidget *control)
        : QObject(window)
        , m_control(control)
    { }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && m_control)
            m_control->setFocus(Qt::OtherFocusReason);
        return false;
    }

private:
    QPointer<QWidget> m_control;
};
} // namespace

void FocusOnOpening(QWidget *window, QWidget *control)
{
    window->installEventFilter(new FocusFilter(window, control));
    control->setFocus();
}

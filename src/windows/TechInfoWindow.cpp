#include "TechInfoWindow.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionMenuItem>

namespace {
constexpr int ClientWidth = 398;
constexpr int ClientHeight = 121;

// Qt's menu bar draws no check mark on the items placed straight on it; this style draws the
// mark before the text of a checked item and makes room for it.
class CheckMarkMenuBarStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
        const QWidget *widget) const override
    {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuBarItem && checkedAction(option, widget))
            result.rwidth() += markWidth(option);
        return result;
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuBarItem || !item || !checkedAction(option, widget)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const int mark = markWidth(option);
        QStyleOptionMenuItem text = *item;
        text.rect.setLeft(item->rect.left() + mark);
        // The item's background over its whole width, then the text after the mark.
        QStyleOptionMenuItem background = *item;
        background.text.clear();
        QProxyStyle::drawControl(element, &background, painter, widget);
        QProxyStyle::drawControl(element, &text, painter, widget);
        // A tick in the text colour, centred in the room made for it.
        const QRect room(item->rect.left() + mark / 2, item->rect.top(), mark, item->rect.height());
        const QPointF c = room.center();
        const qreal h = mark / 4.0;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(item->palette.color(QPalette::WindowText), 1.6));
        painter->drawPolyline(QPolygonF(
            {{c.x() - h, c.y()}, {c.x() - h / 3, c.y() + h * 0.8}, {c.x() + h * 1.2, c.y() - h}}));
        painter->restore();
    }

private:
    static int markWidth(const QStyleOption *option) { return option->fontMetrics.height(); }

    static bool checkedAction(const QStyleOption *option, const QWidget *widget)
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        const auto *bar = qobject_cast<const QMenuBar *>(widget);
        if (!item || !bar)
            return false;
        for (const QAction *action : bar->actions()) {
            if (action->text() == item->text)
                return action->isChecked();
        }
        return false;
    }
};
} // namespace

TechInfoWindow::TechInfoWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("techInfoWindow"));
    setWindowTitle(QStringLiteral("   TECHNICAL INFORMATION"));

    // Items placed straight on the bar act when clicked; none opens a drop-down list.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->setNativeMenuBar(false);
    auto *style = new CheckMarkMenuBarStyle;
    style->setParent(m_menuBar);
    m_menuBar->setStyle(style);
    const auto addPageItem = [this](const char *name, const QString &text, InfoPage::Page page) {
        QAction *item = m_menuBar->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, [this, page] { emit pageRequested(page); });
        return item;
    };
    QAction *application
        = addPageItem("applicationItem", QStringLiteral("&Application"), InfoPage::Application);
    addPageItem("signalClassificationItem", QStringLiteral("&Signal Classification"),
        InfoPage::SignalClassification);
    addPageItem("generalViewItem", QStringLiteral("&GeneralView"), InfoPage::GeneralView);
    addPageItem("dimensionItem", QStringLiteral("&Dimension"), InfoPage::Dimension);
    addPageItem("technicalDataItem", QStringLiteral("&Technical Data"), InfoPage::TechnicalData);
    // Alone in an exclusive group, the checked item stays checked when it is clicked.
    auto *checked = new QActionGroup(this);
    checked->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    application->setCheckable(true);
    application->setChecked(true);
    checked->addAction(application);

    const int menuHeight = m_menuBar->heightForWidth(ClientWidth);
    m_menuBar->setGeometry(0, 0, ClientWidth, menuHeight);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuHeight, ClientWidth, ClientHeight);
    setClientSize(ClientWidth, menuHeight + ClientHeight);

    auto *closeButton
        = addButton("closeButton", QStringLiteral("&Close"), 304, 80, 75, 25, m_client);
    setFocusOnOpening(closeButton);

    onClick(closeButton, &TechInfoWindow::closeWindow);
}

void TechInfoWindow::closeWindow()
{
    close();
}

void TechInfoWindow::resizeEvent(QResizeEvent *event)
{
    FormBase::resizeEvent(event);
    // The bar spans the frame; the controls below it keep their places.
    m_menuBar->setGeometry(0, 0, width(), m_menuBar->heightForWidth(width()));
    m_client->setGeometry(0, m_menuBar->height(), width(), height() - m_menuBar->height());
}

#include "uTechInf.h"

#include "uApplication.h"
#include "uDimension.h"
#include "uGeneralView.h"
#include "uSignalClas.h"
#include "uTechData.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionMenuItem>

TForm8 *Form8 = nullptr;

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

TForm8::TForm8(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   TECHNICAL INFORMATION"));

    // Items placed straight on the bar act when clicked; none opens a drop-down list.
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setNativeMenuBar(false);
    auto *style = new CheckMarkMenuBarStyle;
    style->setParent(MainMenu1);
    MainMenu1->setStyle(style);
    Overview = MainMenu1->addAction(QStringLiteral("&Application"));
    SignalClassification1 = MainMenu1->addAction(QStringLiteral("&Signal Classification"));
    GeneralView1 = MainMenu1->addAction(QStringLiteral("&GeneralView"));
    Dimension1 = MainMenu1->addAction(QStringLiteral("&Dimension"));
    TechnicalData1 = MainMenu1->addAction(QStringLiteral("&Technical Data"));
    // Alone in an exclusive group, the checked item stays checked when it is clicked.
    auto *checked = new QActionGroup(this);
    checked->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    Overview->setCheckable(true);
    Overview->setChecked(true);
    checked->addAction(Overview);

    const int menuHeight = MainMenu1->heightForWidth(ClientWidth);
    MainMenu1->setGeometry(0, 0, ClientWidth, menuHeight);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuHeight, ClientWidth, ClientHeight);
    setClientSize(ClientWidth, menuHeight + ClientHeight);

    Button1 = addButton(QStringLiteral("&Close"), 304, 80, 75, 25, m_client);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm8::CloseClick);
    connect(Overview, &QAction::triggered, this, &TForm8::Application1Click);
    connect(SignalClassification1, &QAction::triggered, this, &TForm8::SignalClassification1Click);
    connect(GeneralView1, &QAction::triggered, this, &TForm8::GeneralView1Click);
    connect(Dimension1, &QAction::triggered, this, &TForm8::Dimension);
    connect(TechnicalData1, &QAction::triggered, this, &TForm8::TechnicalData1Click);
}

void TForm8::CloseClick()
{
    close();
}

void TForm8::GeneralView1Click()
{
    Form10->ShowModal();
}

void TForm8::Dimension()
{
    Form11->ShowModal();
}

void TForm8::Application1Click()
{
    Form9->ShowModal();
}

void TForm8::SignalClassification1Click()
{
    Form12->ShowModal();
}

void TForm8::TechnicalData1Click()
{
    Form13->ShowModal();
}

void TForm8::resizeEvent(QResizeEvent *event)
{
    TFormBase::resizeEvent(event);
    // The bar spans the frame; the controls below it keep their places.
    MainMenu1->setGeometry(0, 0, width(), MainMenu1->heightForWidth(width()));
    m_client->setGeometry(0, MainMenu1->height(), width(), height() - MainMenu1->height());
}

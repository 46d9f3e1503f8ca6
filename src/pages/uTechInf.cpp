#include "uTechInf.h"

#include "FocusOnOpening.h"
#include "uApplication.h"
#include "uDimension.h"
#include "uGeneralView.h"
#include "uSignalClas.h"
#include "uTechData.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QPushButton>

TForm8 *Form8 = nullptr;

namespace {
constexpr int ClientWidth = 398;
constexpr int ClientHeight = 121;
} // namespace

TForm8::TForm8(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   TECHNICAL INFORMATION"));

    // Items placed straight on the bar act when clicked; none opens a drop-down list.
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setNativeMenuBar(false);
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
    FocusOnOpening(this, Button1);

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

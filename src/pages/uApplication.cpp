#include "uApplication.h"

#include "Memo.h"

#include <QPushButton>

TForm9 *Form9 = nullptr;

TForm9::TForm9(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
{
    setWindowTitle(QStringLiteral("   Application"));
    setOuterSize(544, 375);

    Button1 = addButton(QStringLiteral("&Close"), 440, 304);
    Memo1 = new TMemo(
        {
            QStringLiteral(
                "Recorder ZEMRA is intended to measure, analyse and classify random course of "),
            QStringLiteral("linear acceleration."),
            QStringLiteral("The results are gathered as the spectrum of aircraft's loads."),
            QStringLiteral("Application:"),
            QStringLiteral("      - estimation of exploitation loads during flight as spectrum of "
                           "aircraft's loads,"),
            QStringLiteral("      - estimation of fatigue wear of aircraft's carrier structure,"),
            QStringLiteral(
                "      - estimation of intensity and safety of aircraft's exploitation,"),
            QStringLiteral("      - estimation of individual, safe period of aircraft's use,"),
            QStringLiteral(
                "      - other analysis of static and fatigue strength of carrier structure."),
            QStringLiteral("Conditions of Building-In:"),
            QStringLiteral("      - the recorder should be placed near the center of gravity, "
                           "while turn and "),
            QStringLiteral("direction of measurement axis (marked on the casing) should be "
                           "compatible and "),
            QStringLiteral("parallel to vertical axis of aircraft."),
            QStringLiteral("Enduser Data Presentation:"),
            QStringLiteral("      - recorded by ZEMRA data are transmitted to PC through the "
                           "serial RS 232C "),
            QStringLiteral(
                "interface. Software packed, compatible with Windows 9X and Windows XP "),
            QStringLiteral(
                "platforms, converts raw data to numerical and graphical user's results."),
        },
        24, 16, 489, 281, MsSansSerif(13), this);
    setFocusOnOpening(Button1);

    connect(Button1, &QPushButton::clicked, this, &TForm9::CloseClick);
}

void TForm9::CloseClick()
{
    close();
}

#include "InfoPage.h"

#include "Memo.h"
#include "PictureBox.h"

#include <QPushButton>

#include <QRect>

#include <array>
#include <optional>

namespace {
struct PictureLayout
{
    QString fileName;
    QRect box; // position and the largest size it may take
};

struct MemoLayout
{
    QStringList lines;
    QRect geometry;
    int fontHeight;
    bool bold;
    // Reached only by the mouse; once there it keeps Tab.
    bool mouseOnly;
};

struct PageLayout
{
    const char *name;
    QString caption;
    QSize outerSize;
    QPoint closeButton;
    std::optional<PictureLayout> picture;
    std::optional<MemoLayout> memo;
};

// The six pages. The maker, its address and its people on the contact page are inventions;
// the numbers are reserved for fiction and the mail domains for examples.
const PageLayout &layoutOf(InfoPage::Page page)
{
    static const std::array<PageLayout, 6> layouts = {{
        {"applicationPage", QStringLiteral("   Application"), {544, 375}, {440, 304}, std::nullopt,
            MemoLayout {
                {QStringLiteral("Recorder ZEMRA is intended to measure, analyse and classify "
                                "random course of "),
                    QStringLiteral("linear acceleration."),
                    QStringLiteral("The results are gathered as the spectrum of aircraft's loads."),
                    QStringLiteral("Application:"),
                    QStringLiteral(
                        "      - estimation of exploitation loads during flight as spectrum of "
                        "aircraft's loads,"),
                    QStringLiteral(
                        "      - estimation of fatigue wear of aircraft's carrier structure,"),
                    QStringLiteral(
                        "      - estimation of intensity and safety of aircraft's exploitation,"),
                    QStringLiteral(
                        "      - estimation of individual, safe period of aircraft's use,"),
                    QStringLiteral("      - other analysis of static and fatigue strength of "
                                   "carrier structure."),
                    QStringLiteral("Conditions of Building-In:"),
                    QStringLiteral(
                        "      - the recorder should be placed near the center of gravity, "
                        "while turn and "),
                    QStringLiteral("direction of measurement axis (marked on the casing) should be "
                                   "compatible and "),
                    QStringLiteral("parallel to vertical axis of aircraft."),
                    QStringLiteral("Enduser Data Presentation:"),
                    QStringLiteral(
                        "      - recorded by ZEMRA data are transmitted to PC through the "
                        "serial RS 232C "),
                    QStringLiteral(
                        "interface. Software packed, compatible with Windows 9X and Windows XP "),
                    QStringLiteral(
                        "platforms, converts raw data to numerical and graphical user's results.")},
                {24, 16, 489, 281}, 13, false, false}},
        {"generalViewPage", QStringLiteral("   ZEMRA General View"), {644, 475}, {544, 384},
            PictureLayout {GeneralViewPicture, {40, 16, 500, 400}}, std::nullopt},
        {"dimensionPage", QStringLiteral("  ZEMRA Dimension"), {671, 517}, {536, 432},
            PictureLayout {DimensionPicture, {16, 8, 650, 400}}, std::nullopt},
        {"signalClassificationPage", QStringLiteral("  Signal Classification"), {544, 375},
            {424, 304}, PictureLayout {SignalClassificationPicture, {112, 16, 300, 200}},
            MemoLayout {{QStringLiteral("Exceeding of given levels of loads' coefficient is "),
                            QStringLiteral("recorded by method of counting the exceeding of "),
                            QStringLiteral("pairs of levels."),
                            QStringLiteral("It is possible establish values of recorder's "),
                            QStringLiteral("parameters according to user's requirements.")},
                {112, 224, 297, 97}, 13, false, false}},
        {"technicalDataPage", QStringLiteral(" ZEMRA Basic Technical Data"), {544, 375}, {432, 296},
            std::nullopt,
            MemoLayout {
                {QStringLiteral("Dimensions:"),
                    QStringLiteral("        - length...............88 mm"),
                    QStringLiteral("        - width.................47 mm"),
                    QStringLiteral("        - height...............64 mm"),
                    QStringLiteral("Weight:"),
                    QStringLiteral("        - weight..............250 g"),
                    QStringLiteral("Supply:"),
                    QStringLiteral("        - autonomous batteries 3.6 V"),
                    QStringLiteral(
                        "        - one year continuous operation without battery replace"),
                    QStringLiteral("Working modes:"), QStringLiteral("        - economical"),
                    QStringLiteral("        - active")},
                {104, 40, 369, 201}, 13, false, false}},
        {"contactPage", QStringLiteral("   CONTACT"), {559, 330}, {456, 256}, std::nullopt,
            MemoLayout {{QString(), QStringLiteral("        Imaginary Instruments Ltd."),
                            QStringLiteral("        17 Nowhere Lane"),
                            QStringLiteral("        00-000 Fictionville"),
                            QStringLiteral("        Neverland"),
                            QStringLiteral("        Dr. Eng. Jane Placeholder"),
                            QStringLiteral("        e-mail: jane.placeholder@example.com"),
                            QStringLiteral("        M.Sc. John Sample"),
                            QStringLiteral("        e-mail: john.sample@example.org"),
                            QStringLiteral("        fax: +1 202 555 0147")},
                {96, 48, 369, 177}, 13, true, true}},
    }};
    return layouts[page];
}
} // namespace

InfoPage::InfoPage(Page page, QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    const PageLayout &layout = layoutOf(page);
    setObjectName(QLatin1String(layout.name));
    setWindowTitle(layout.caption);
    setOuterSize(layout.outerSize.width(), layout.outerSize.height());

    // Made first so that it leads the tab order.
    auto *closeButton = addButton(
        "closeButton", QStringLiteral("&Close"), layout.closeButton.x(), layout.closeButton.y());
    if (layout.picture) {
        auto *picture = new PictureBox(this);
        picture->setObjectName(QStringLiteral("picture"));
        picture->loadPicture(layout.picture->fileName, layout.picture->box.x(),
            layout.picture->box.y(), layout.picture->box.size());
    }
    if (layout.memo) {
        const MemoLayout &text = *layout.memo;
        const QRect &at = text.geometry;
        auto *memo = new Memo(text.lines, at.x(), at.y(), at.width(), at.height(),
            layoutFont(text.fontHeight, text.bold), this);
        memo->setObjectName(QStringLiteral("memo"));
        if (text.mouseOnly) {
            memo->setFocusPolicy(Qt::ClickFocus);
            memo->setWantTabs(true);
        }
    }
    setFocusOnOpening(closeButton);

    onClick(closeButton, &InfoPage::closeWindow);
}

void InfoPage::closeWindow()
{
    close();
}

#include "uSpectrum1_1.h"

#include "Spectrum.h"
#include "WorkingCopy.h"
#include "app/MessageBox.h"
#include "app/TerminationSignals.h"
#include "plot/uGraphicSpectrum1_1.h"
#include "record/CounterRecord.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

TForm3 *Form3 = nullptr;

namespace {
constexpr int GridRows = 4;

QString chooseDataFile(QWidget *parent)
{
    return QFileDialog::getOpenFileName(
        parent, QString(), QString(), QStringLiteral("Data (*.dat)"));
}
} // namespace

TForm3::TForm3(QWidget *parent)
    : TFormBase(Frame::Sizeable, parent)
    , m_chooseFile(chooseDataFile)
{
    setWindowTitle(QStringLiteral("    SPECTRUM"));
    setOuterSize(775, 415);

    const QFont heading = MsSansSerif(16, true);
    const QFont subscript = MsSansSerif(13, true);

    Button3 = addButton(QStringLiteral("&Open File"), 56, 32);
    Edit2 = addEdit(176, 32, 345, 21, true, false, font());
    Button2 = addButton(QStringLiteral("&Spectrum"), 56, 104);
    Button4 = addButton(QStringLiteral("&GraphicSpectrum"), 168, 104, 97, 25);
    Label1
        = addLabel(QStringLiteral("SPECTRUM"), 320, 112, MsSansSerif(19, true, true), Colours::Red);

    StringGrid1 = new QTableWidget(GridRows, LevelCount, this);
    StringGrid1->setGeometry(56, 152, 705, 105);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(38);
    StringGrid1->verticalHeader()->setDefaultSectionSize(25);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setShowGrid(true);
    // Cells wider than their column are cut off at the column's edge, not shortened with "...".
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setWordWrap(false);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setFocusPolicy(Qt::ClickFocus);
    StringGrid1->setFont(MsSansSerif(13, true));
    setTextColour(StringGrid1, Colours::Green);
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < LevelCount; ++column)
            StringGrid1->setItem(row, column, new QTableWidgetItem);
    }

    Label2 = addLabel(QStringLiteral("n"), 8, 152, heading, Colours::Red);
    Label9 = addLabel(QStringLiteral("z"), 16, 160, subscript, Colours::Red);
    Label3 = addLabel(QStringLiteral("Nc"), 8, 184, heading, Colours::Red);
    Label4 = addLabel(QStringLiteral("E"), 8, 208, heading, Colours::Red);
    Label5 = addLabel(QStringLiteral("log E"), 8, 232, heading, Colours::Red);
    Label6 = addLabel(QStringLiteral("n - Load's Coefficient"), 48, 288, heading, Colours::Red);
    Label10 = addLabel(QStringLiteral("z"), 56, 296, subscript, Colours::Red);
    Label7 = addLabel(QStringLiteral("Nc - Cross Number"), 48, 312, heading, Colours::Red);
    Label8 = addLabel(QStringLiteral("E - Frequency [1/h] "), 48, 336, heading, Colours::Red);
    Label11 = addLabel(QStringLiteral("Active Work Time [h]"), 520, 264, heading, Colours::Red);
    Edit1 = addEdit(704, 264, 49, 21, true, false, MsSansSerif(11, true));
    setTextColour(Edit1, Colours::Green);
    Button1 = addButton(QStringLiteral("&Close"), 664, 344);

    setTabOrder(Button3, Button2);
    setTabOrder(Button2, Button4);
    setTabOrder(Button4, Button1);

    connect(Button3, &QPushButton::clicked, this, &TForm3::OpenFileClick);
    connect(Button2, &QPushButton::clicked, this, &TForm3::SpectrumClick);
    connect(Button4, &QPushButton::clicked, this, &TForm3::GraphicSpectrumClick);
    connect(Button1, &QPushButton::clicked, this, &TForm3::CloseClick);

    FormCreate();
}

QString TForm3::Cells(int column, int row) const
{
    return StringGrid1->item(row, column)->text();
}

void TForm3::setCell(int column, int row, const QString &text)
{
    StringGrid1->item(row, column)->setText(text);
}

void TForm3::FormCreate()
{
    for (int column = 0; column < LevelCount; ++column)
        setCell(column, 0, QString::fromLatin1(LoadLevels[column].text));
}

void TForm3::OpenFileClick()
{
    const QString path = m_chooseFile(this);
    if (path.isEmpty())
        return;
    CopyResult copied;
    {
        // The progress dialog of a long copy is gone before any box shows.
        const CopyProgress progress = m_makeProgress(
            this, QStringLiteral("Copying \"%1\" to \"%2\" ...").arg(path, WorkingCopyName));
        copied = CopyFileReplacing(path, WorkingCopyName, progress);
    }
    if (copied.status == CopyResult::SourceFailed) {
        ShowMessage(QStringLiteral("Can't open file"));
        return;
    }
    if (!copied.ok()) {
        // The program is ending: nothing to tell.
        if (!TerminationRequested())
            ShowMessage(copied.error, MistakeCaption);
        return;
    }
    setTextFromStart(Edit2, path);
}

void TForm3::SpectrumClick()
{
    const std::optional<RecordValues> values = ReadWorkingCopy();
    if (!values)
        return;
    const SpectrumCells cells = ComputeSpectrum(*values);
    for (int column = 0; column < LevelCount; ++column) {
        setCell(column, 1, cells.counts[column]);
        setCell(column, 2, cells.frequencies[column]);
        setCell(column, 3, cells.logarithms[column]);
    }
    setTextFromStart(Edit1, cells.activeWorkTime);
}

void TForm3::GraphicSpectrumClick()
{
    Form4->ShowModal();
}

void TForm3::CloseClick()
{
    for (int column = 0; column < LevelCount; ++column) {
        for (int row = 1; row < GridRows; ++row)
            setCell(column, row, QStringLiteral(" "));
    }
    close();
}

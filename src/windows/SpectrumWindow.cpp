#include "SpectrumWindow.h"

#include "CounterRecord.h"
#include "MessageBox.h"
#include "Spectrum.h"
#include "TerminationSignals.h"
#include "WorkingCopyReader.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {
constexpr int GridRows = 4;

QString chooseDataFile(QWidget *parent)
{
    return QFileDialog::getOpenFileName(
        parent, QString(), QString(), QStringLiteral("Data (*.dat)"));
}
} // namespace

SpectrumWindow::SpectrumWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
    , m_chooseFile(chooseDataFile)
{
    setObjectName(QStringLiteral("spectrumWindow"));
    setWindowTitle(QStringLiteral("    SPECTRUM"));
    setOuterSize(775, 415);

    const QFont heading = layoutFont(16, true);
    const QFont subscript = layoutFont(13, true);

    auto *openFileButton = addButton("openFileButton", QStringLiteral("&Open File"), 56, 32);
    m_pathEdit = addEdit("pathEdit", 176, 32, 345, 21, true, false, font());
    auto *spectrumButton = addButton("spectrumButton", QStringLiteral("&Spectrum"), 56, 104);
    auto *graphicSpectrumButton
        = addButton("graphicSpectrumButton", QStringLiteral("&GraphicSpectrum"), 168, 104, 97, 25);
    addLabel("titleLabel", QStringLiteral("SPECTRUM"), 320, 112, layoutFont(19, true, true),
        Colours::Red);

    m_grid = new QTableWidget(GridRows, LevelCount, this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setGeometry(56, 152, 705, 105);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
    m_grid->horizontalHeader()->setDefaultSectionSize(38);
    m_grid->verticalHeader()->setDefaultSectionSize(25);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setShowGrid(true);
    // Cells wider than their column are cut off at the column's edge, not shortened with "...".
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->setWordWrap(false);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setFocusPolicy(Qt::ClickFocus);
    m_grid->setFont(layoutFont(13, true));
    setTextColour(m_grid, Colours::Green);
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < LevelCount; ++column)
            m_grid->setItem(row, column, new QTableWidgetItem);
    }

    addLabel("loadRowLabel", QStringLiteral("n"), 8, 152, heading, Colours::Red);
    addLabel("loadRowSubscript", QStringLiteral("z"), 16, 160, subscript, Colours::Red);
    addLabel("countRowLabel", QStringLiteral("Nc"), 8, 184, heading, Colours::Red);
    addLabel("frequencyRowLabel", QStringLiteral("E"), 8, 208, heading, Colours::Red);
    addLabel("logarithmRowLabel", QStringLiteral("log E"), 8, 232, heading, Colours::Red);
    addLabel(
        "loadLegend", QStringLiteral("n - Load's Coefficient"), 48, 288, heading, Colours::Red);
    addLabel("loadLegendSubscript", QStringLiteral("z"), 56, 296, subscript, Colours::Red);
    addLabel("countLegend", QStringLiteral("Nc - Cross Number"), 48, 312, heading, Colours::Red);
    addLabel(
        "frequencyLegend", QStringLiteral("E - Frequency [1/h] "), 48, 336, heading, Colours::Red);
    addLabel(
        "workTimeLabel", QStringLiteral("Active Work Time [h]"), 520, 264, heading, Colours::Red);
    m_workTimeEdit = addEdit("workTimeEdit", 704, 264, 49, 21, true, false, layoutFont(11, true));
    setTextColour(m_workTimeEdit, Colours::Green);
    auto *closeButton = addButton("closeButton", QStringLiteral("&Close"), 664, 344);

    setTabOrder(openFileButton, spectrumButton);
    setTabOrder(spectrumButton, graphicSpectrumButton);
    setTabOrder(graphicSpectrumButton, closeButton);

    onClick(openFileButton, &SpectrumWindow::openFile);
    onClick(spectrumButton, &SpectrumWindow::showSpectrum);
    connect(graphicSpectrumButton, &QPushButton::clicked, this,
        &SpectrumWindow::graphicSpectrumRequested);
    onClick(closeButton, &SpectrumWindow::closeWindow);

    fillHeaderRow();
}

QString SpectrumWindow::cell(int column, int row) const
{
    return m_grid->item(row, column)->text();
}

void SpectrumWindow::setCell(int column, int row, const QString &text)
{
    m_grid->item(row, column)->setText(text);
}

void SpectrumWindow::fillHeaderRow()
{
    for (int column = 0; column < LevelCount; ++column)
        setCell(column, 0, QString::fromLatin1(LoadLevels[column].text));
}

void SpectrumWindow::openFile()
{
    const QString path = m_chooseFile(this);
    if (path.isEmpty())
        return;
    Result copied;
    {
        // The progress dialog of a long copy is gone before any box shows.
        const CopyProgress progress = m_makeProgress(
            this, QStringLiteral("Copying \"%1\" to \"%2\" ...").arg(path, WorkingCopyName));
        copied = CopyFileReplacing(path, WorkingCopyName, progress);
    }
    if (copied.failure() == Result::CannotOpen) {
        ShowMessage(QStringLiteral("Can't open file"));
        return;
    }
    if (!copied.ok()) {
        // The program is ending: nothing to tell.
        if (!TerminationRequested())
            ShowMessage(copied.message(), MistakeCaption);
        return;
    }
    setTextFromStart(m_pathEdit, path);
}

void SpectrumWindow::showSpectrum()
{
    const std::optional<RecordValues> values = ReadWorkingCopyOrSayWhy();
    if (!values)
        return;
    const SpectrumCells cells = SpectrumTexts(ComputeSpectrum(*values));
    for (int column = 0; column < LevelCount; ++column) {
        setCell(column, 1, cells.counts[column]);
        setCell(column, 2, cells.frequencies[column]);
        setCell(column, 3, cells.logarithms[column]);
    }
    setTextFromStart(m_workTimeEdit, cells.activeWorkTime);
}

void SpectrumWindow::closeWindow()
{
    for (int column = 0; column < LevelCount; ++column) {
        for (int row = 1; row < GridRows; ++row)
            setCell(column, row, QStringLiteral(" "));
    }
    close();
}

#include "AddReadoutsDialog.h"

#include "MessageBox.h"
#include "Named.h"
#include "Worker.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

namespace {
QString readoutText(const AddDecision &decision)
{
    return decision.inThisAdd ? QStringLiteral("an earlier record of these files")
                              : QStringLiteral("read-out %1").arg(decision.readout);
}
} // namespace

QString AddDecisionText(const AddDecision &decision)
{
    switch (decision.kind) {
    case AddClass::New:
        return QStringLiteral("new: added whole");
    case AddClass::Already:
        return QStringLiteral("already there: %1").arg(readoutText(decision));
    case AddClass::OtherAircraft:
        return QStringLiteral("another aircraft's: read-out %1 of %2 — refused")
            .arg(QString::number(decision.readout), decision.otherAircraft);
    case AddClass::Running:
        return QStringLiteral("new, running: the rise since the one before");
    case AddClass::Wrap:
        return QStringLiteral("new, wrap: %1").arg(decision.text);
    case AddClass::Reset:
        return QStringLiteral("new, reset: %1").arg(decision.text);
    case AddClass::Inconsistent:
        return QStringLiteral("inconsistent — refused unless declared a reset: %1")
            .arg(decision.text);
    }
    return {};
}

AddReadoutsDialog::AddReadoutsDialog(const RegisterLocation &location,
    const std::vector<AddFile> &files, const QStringList &registrations, QWidget *parent)
    : QDialog(parent)
    , m_location(location)
    , m_files(files)
    , m_registrations(registrations)
    , m_worker(new Worker(this))
{
    setObjectName(QStringLiteral("addReadoutsDialog"));
    setAccessibleName(QStringLiteral("Add read-outs"));
    setWindowTitle(QStringLiteral("Add Read-outs"));
    makeChoices();
    resize(820, 480);
    connect(registrationCombo, &QComboBox::currentTextChanged, this,
        [this] { RunGuarded([this] { updateNewAircraft(), previewSoon(); }); });
    connect(modeCombo, &QComboBox::currentIndexChanged, this,
        [this] { RunGuarded([this] { previewSoon(); }); });
    connect(
        resetCheck, &QCheckBox::toggled, this, [this] { RunGuarded([this] { previewSoon(); }); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateNewAircraft();
    previewSoon();
}

// The worker's destructor waits for a preview still running; its result is dropped with us.
AddReadoutsDialog::~AddReadoutsDialog() = default;

void AddReadoutsDialog::makeChoices()
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    registrationCombo = Named(new QComboBox(this), "registrationCombo",
        QStringLiteral("Registration: an aircraft of the register, or a new one"));
    registrationCombo->setEditable(true);
    // The text field that this makes, Qt's own, is said apart from the box.
    registrationCombo->lineEdit()->setAccessibleName(registrationCombo->accessibleName());
    registrationCombo->setInsertPolicy(QComboBox::NoInsert);
    registrationCombo->addItems(m_registrations);
    form->addRow(QStringLiteral("&Registration:"), registrationCombo);
    typeEdit = Named(new QLineEdit(this), "typeEdit", QStringLiteral("Type of the new aircraft"));
    form->addRow(QStringLiteral("&Type (new aircraft):"), typeEdit);
    modeCombo = Named(new QComboBox(this), "modeCombo", QStringLiteral("Mode of the new aircraft"));
    modeCombo->addItem(QStringLiteral("Running totals"), int(CombineMode::Running));
    modeCombo->addItem(QStringLiteral("Separate read-outs"), int(CombineMode::Separate));
    form->addRow(QStringLiteral("&Mode (new aircraft):"), modeCombo);
    layout->addLayout(form);
    resetCheck = Named(new QCheckBox(QStringLiteral("Take a fall nothing explains as a declared "
                                                    "r&eset of the recorder"),
                           this),
        "resetCheck", QStringLiteral("Take an inconsistent fall as a declared reset"));
    layout->addWidget(resetCheck);
    decisionTable = Named(new QTableWidget(0, 3, this), "decisionTable",
        QStringLiteral("What the register will do with each record"));
    decisionTable->setHorizontalHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Record"), QStringLiteral("What is done")});
    decisionTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    decisionTable->setTabKeyNavigation(false);
    decisionTable->verticalHeader()->hide();
    decisionTable->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(decisionTable, 1);
    summaryLabel = Named(new QLabel(this), "summaryLabel", QStringLiteral("Summary"));
    summaryLabel->setWordWrap(true);
    summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summaryLabel);
    buttons = Named(new QDialogButtonBox(this), "buttons", QStringLiteral("Add or cancel"));
    addButton = Named(buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::AcceptRole),
        "addButton", QStringLiteral("Add the read-outs"));
    cancelButton = Named(
        buttons->addButton(QDialogButtonBox::Cancel), "cancelButton", QStringLiteral("Cancel"));
    // No default: Enter in the registration must not add what was not seen yet.
    addButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    addButton->setEnabled(false);
    layout->addWidget(buttons);
}

QString AddReadoutsDialog::registration() const
{
    return registrationCombo->currentText().trimmed();
}

bool AddReadoutsDialog::declaredReset() const
{
    return resetCheck->isChecked();
}

std::optional<NewAircraft> AddReadoutsDialog::newAircraft() const
{
    if (m_registrations.contains(registration(), Qt::CaseInsensitive))
        return std::nullopt;
    return NewAircraft {typeEdit->text().trimmed(), CombineMode(modeCombo->currentData().toInt())};
}

void AddReadoutsDialog::updateNewAircraft()
{
    const bool fresh = newAircraft().has_value();
    typeEdit->setEnabled(fresh);
    modeCombo->setEnabled(fresh);
}

void AddReadoutsDialog::waitUntilIdle()
{
    m_worker->waitForAll();
}

void AddReadoutsDialog::previewSoon()
{
    const int generation = ++m_generation;
    addButton->setEnabled(false);
    if (registration().isEmpty()) {
        decisionTable->setRowCount(0);
        summaryLabel->setText(QStringLiteral("Give the aircraft's registration."));
        return;
    }
    summaryLabel->setText(QStringLiteral("Reading the files…"));
    const RegisterLocation location = m_location;
    const std::vector<AddFile> files = m_files;
    const QString plane = registration();
    const bool declared = declaredReset();
    const std::optional<NewAircraft> fresh = newAircraft();
    m_worker->run<AddPreviewResult>(
        [=] { return PreviewReadouts(location, plane, files, declared, fresh); },
        [this, generation](const AddPreviewResult &preview) {
            if (generation == m_generation)
                RunGuarded([&] { showPreview(preview); });
        });
}

void AddReadoutsDialog::showPreview(const AddPreviewResult &preview)
{
    decisionTable->setRowCount(0);
    if (!preview.ok()) {
        summaryLabel->setText(preview.message());
        emit previewShown();
        return;
    }
    decisionTable->setRowCount(int(preview.decisions.size()));
    std::map<AddClass, int> counts;
    for (int row = 0; row < int(preview.decisions.size()); ++row) {
        const AddDecision &decision = preview.decisions[size_t(row)];
        ++counts[decision.kind];
        decisionTable->setItem(
            row, 0, new QTableWidgetItem(QFileInfo(decision.fileName).fileName()));
        decisionTable->setItem(row, 1, new QTableWidgetItem(QString::number(decision.record)));
        auto *what = new QTableWidgetItem(AddDecisionText(decision));
        what->setToolTip(what->text());
        decisionTable->setItem(row, 2, what);
    }
    decisionTable->resizeColumnToContents(0);
    decisionTable->resizeColumnToContents(1);
    const int added = int(preview.decisions.size()) - counts[AddClass::Already]
        - counts[AddClass::OtherAircraft];
    QString text = QStringLiteral("%1 record(s) to add to %2%3, %4 already there")
                       .arg(added)
                       .arg(preview.registration,
                           preview.newAircraft ? QStringLiteral(" (a new aircraft)") : QString())
                       .arg(counts[AddClass::Already]);
    if (counts[AddClass::Wrap] + counts[AddClass::Reset] > 0)
        text += QStringLiteral(", %1 wrap(s) and %2 reset(s)")
                    .arg(counts[AddClass::Wrap])
                    .arg(counts[AddClass::Reset]);
    text += QLatin1Char('.');
    if (counts[AddClass::OtherAircraft] > 0)
        text += QStringLiteral(" Refused: %1 record(s) of another aircraft.")
                    .arg(counts[AddClass::OtherAircraft]);
    if (counts[AddClass::Inconsistent] > 0)
        text += QStringLiteral(" Refused: %1 fall(s) that nothing explains; if the recorder was "
                               "reset there, declare the reset.")
                    .arg(counts[AddClass::Inconsistent]);
    summaryLabel->setText(text);
    addButton->setEnabled(!preview.refused());
    emit previewShown();
}

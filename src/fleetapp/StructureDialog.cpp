#include "StructureDialog.h"

#include "MessageBox.h"
#include "Named.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A number field of the form, its label with a mnemonic; empty where nothing is set.
QLineEdit *numberRow(
    QFormLayout *form, QWidget *parent, const QString &label, const char *name, const QString &role)
{
    auto *edit = Named(new QLineEdit(parent), name, role);
    form->addRow(label, edit);
    return edit;
}

QString numberText(std::optional<double> value)
{
    return value ? QString::number(*value, 'g', 12) : QString();
}

// Empty: none; otherwise a number in C notation, or false.
bool numberOf(const QLineEdit *edit, std::optional<double> &value)
{
    value.reset();
    const QString text = edit->text().trimmed();
    if (text.isEmpty())
        return true;
    bool ok = false;
    value = QLocale::c().toDouble(text, &ok);
    return ok;
}

// The figures that damage is worked out from, and the limit loads, each as one comparable text.
QString damageKey(const StructuralData &data)
{
    if (!data.damage)
        return {};
    const DamageParameters &p = *data.damage;
    return QStringList {numberText(p.stressPerG), numberText(p.slope),
        numberText(p.enduranceStress), numberText(p.enduranceCycles),
        BelowEnduranceName(p.belowEndurance), numberText(p.ultimateStrength),
        numberText(p.scatterFactor), numberText(p.designLife), numberText(p.maxLoadPositive),
        numberText(p.maxLoadNegative)}
        .join(QLatin1Char(' '));
}

QString limitsKey(const StructuralData &data)
{
    return data.limits
        ? numberText(data.limits->positive) + QLatin1Char(' ') + numberText(data.limits->negative)
        : QString();
}
} // namespace

StructureDialog::StructureDialog(
    const AircraftInfo &aircraft, qint64 readouts, QDate first, QDate last, QWidget *parent)
    : QDialog(parent)
    , m_aircraft(aircraft)
    , m_readouts(readouts)
    , m_first(first)
    , m_last(last)
{
    setObjectName(QStringLiteral("structureDialog"));
    setAccessibleName(QStringLiteral("Structural data and thresholds"));
    setWindowTitle(QStringLiteral("Structural Data of %1").arg(aircraft.registration));
    auto *layout = new QVBoxLayout(this);
    auto *structure = new QFormLayout;
    makeStructure(structure);
    layout->addLayout(structure);
    auto *checks = new QFormLayout;
    makeChecks(checks);
    layout->addLayout(checks);
    buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this),
        "buttons", QStringLiteral("Change or cancel"));
    okButton = Named(
        buttons->button(QDialogButtonBox::Ok), "okButton", QStringLiteral("Change the data"));
    cancelButton = Named(
        buttons->button(QDialogButtonBox::Cancel), "cancelButton", QStringLiteral("Cancel"));
    // OK the default: Enter in a field asks first, it never writes by itself.
    okButton->setDefault(true);
    cancelButton->setAutoDefault(false);
    layout->addWidget(buttons);
    fill();
    connect(buttons, &QDialogButtonBox::accepted, this,
        [this] { RunGuarded([this] { askAndAccept(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void StructureDialog::makeStructure(QFormLayout *form)
{
    snGroup = Named(new QGroupBox(QStringLiteral("Own &S-N data (none: the type's)"), this),
        "snGroup", QStringLiteral("The aircraft's own S-N data"));
    snGroup->setCheckable(true);
    auto *sn = new QFormLayout(snGroup);
    stressEdit = numberRow(sn, snGroup, QStringLiteral("σ₁, st&ress at 1 g (MPa):"), "stressEdit",
        QStringLiteral("Stress at 1 g in MPa"));
    slopeEdit = numberRow(
        sn, snGroup, QStringLiteral("Slope &k:"), "slopeEdit", QStringLiteral("Slope k"));
    enduranceStressEdit = numberRow(sn, snGroup, QStringLiteral("S_&D (MPa):"),
        "enduranceStressEdit", QStringLiteral("Endurance stress S_D in MPa"));
    enduranceCyclesEdit = numberRow(sn, snGroup, QStringLiteral("&N_D (cycles):"),
        "enduranceCyclesEdit", QStringLiteral("Endurance cycles N_D"));
    belowCombo = Named(new QComboBox(snGroup), "belowCombo",
        QStringLiteral("The curve below the endurance stress"));
    for (const auto &named : BelowEnduranceNames)
        belowCombo->addItem(QString::fromLatin1(named.name), int(named.value));
    sn->addRow(QStringLiteral("&Below S_D:"), belowCombo);
    ultimateEdit = numberRow(sn, snGroup, QStringLiteral("S_&u (MPa, may be empty):"),
        "ultimateEdit", QStringLiteral("Ultimate strength S_u in MPa"));
    scatterEdit = numberRow(sn, snGroup, QStringLiteral("Sc&atter factor:"), "scatterEdit",
        QStringLiteral("Scatter factor"));
    designLifeEdit = numberRow(sn, snGroup, QStringLiteral("Design &life (h, may be empty):"),
        "designLifeEdit", QStringLiteral("Design life in hours"));
    maxPositiveEdit = numberRow(sn, snGroup, QStringLiteral("Ma&x load + (g, may be empty):"),
        "maxPositiveEdit", QStringLiteral("Largest positive load in g"));
    maxNegativeEdit
        = numberRow(sn, snGroup, QStringLiteral("Max load −, n&egative (g, may be empty):"),
            "maxNegativeEdit", QStringLiteral("Largest negative load in g"));
    form->addRow(snGroup);
    limitGroup = Named(new QGroupBox(QStringLiteral("Own li&mit loads"), this), "limitGroup",
        QStringLiteral("The aircraft's own limit loads"));
    limitGroup->setCheckable(true);
    auto *limits = new QFormLayout(limitGroup);
    limitPositiveEdit = numberRow(limits, limitGroup, QStringLiteral("n_LL+, pos&itive (g):"),
        "limitPositiveEdit", QStringLiteral("Positive limit load factor"));
    limitNegativeEdit = numberRow(limits, limitGroup, QStringLiteral("n_LL−, negati&ve (g):"),
        "limitNegativeEdit", QStringLiteral("Negative limit load factor"));
    form->addRow(limitGroup);
}

void StructureDialog::makeChecks(QFormLayout *form)
{
    thresholdsEdit = numberRow(form, this, QStringLiteral("&Thresholds of life used (%):"),
        "thresholdsEdit", QStringLiteral("Thresholds of life used in percent, rising"));
    thresholdsEdit->setPlaceholderText(QStringLiteral("the type's, e.g. 50,80,100"));
    inspectionHoursEdit = numberRow(form, this, QStringLiteral("Inspection every &hours:"),
        "inspectionHoursEdit", QStringLiteral("Flight hours between inspections"));
    inspectionDaysEdit = numberRow(form, this, QStringLiteral("Inspection every da&ys:"),
        "inspectionDaysEdit", QStringLiteral("Days between inspections"));
    batteryDaysEdit = numberRow(form, this, QStringLiteral("Battery days le&ft at least:"),
        "batteryDaysEdit", QStringLiteral("Days of battery left before a warning"));
}

void StructureDialog::fill()
{
    const StructuralData &own = m_aircraft.own;
    snGroup->setChecked(own.damage.has_value());
    const DamageParameters p = own.damage.value_or(DamageParameters {});
    if (own.damage) {
        stressEdit->setText(numberText(p.stressPerG));
        slopeEdit->setText(numberText(p.slope));
        enduranceStressEdit->setText(numberText(p.enduranceStress));
        enduranceCyclesEdit->setText(numberText(p.enduranceCycles));
        ultimateEdit->setText(numberText(p.ultimateStrength));
        designLifeEdit->setText(numberText(p.designLife));
        maxPositiveEdit->setText(numberText(p.maxLoadPositive));
        maxNegativeEdit->setText(numberText(p.maxLoadNegative));
    }
    scatterEdit->setText(numberText(p.scatterFactor));
    belowCombo->setCurrentIndex(belowCombo->findData(int(p.belowEndurance)));
    // Named locations each have their own curve, which this dialog does not show: kept whole.
    snGroup->setEnabled(own.locations.empty());
    limitGroup->setChecked(own.limits.has_value());
    if (own.limits) {
        limitPositiveEdit->setText(numberText(own.limits->positive));
        limitNegativeEdit->setText(numberText(own.limits->negative));
    }
    const CheckSettings &checks = m_aircraft.ownChecks;
    if (checks.thresholds)
        thresholdsEdit->setText(ThresholdsText(*checks.thresholds));
    inspectionHoursEdit->setText(numberText(checks.inspectionHours));
    if (checks.inspectionDays)
        inspectionDaysEdit->setText(QString::number(*checks.inspectionDays));
    if (checks.batteryDays)
        batteryDaysEdit->setText(QString::number(*checks.batteryDays));
}

bool StructureDialog::read(AircraftChange &change, QString &problem) const
{
    const auto number = [&](const QLineEdit *edit, std::optional<double> &value, bool needed) {
        if (!numberOf(edit, value) || (needed && !value)) {
            problem = QStringLiteral("%1: give a number.").arg(edit->accessibleName());
            return false;
        }
        return true;
    };
    change = AircraftChange {};
    change.registration = m_aircraft.registration;
    StructuralData data = m_aircraft.own;
    if (snGroup->isEnabled()) {
        data.damage.reset();
        if (snGroup->isChecked()) {
            DamageParameters p;
            std::optional<double> stress, slope, sd, nd, scatter;
            if (!number(stressEdit, stress, true) || !number(slopeEdit, slope, true)
                || !number(enduranceStressEdit, sd, true) || !number(enduranceCyclesEdit, nd, true)
                || !number(scatterEdit, scatter, true)
                || !number(ultimateEdit, p.ultimateStrength, false)
                || !number(designLifeEdit, p.designLife, false)
                || !number(maxPositiveEdit, p.maxLoadPositive, false)
                || !number(maxNegativeEdit, p.maxLoadNegative, false))
                return false;
            p.stressPerG = *stress, p.slope = *slope, p.enduranceStress = *sd;
            p.enduranceCycles = *nd, p.scatterFactor = *scatter;
            p.belowEndurance = BelowEndurance(belowCombo->currentData().toInt());
            data.damage = p;
        }
    }
    data.limits.reset();
    if (limitGroup->isChecked()) {
        std::optional<double> positive, negative;
        if (!number(limitPositiveEdit, positive, true)
            || !number(limitNegativeEdit, negative, true))
            return false;
        data.limits = LimitLoads {*positive, *negative};
    }
    change.structure = data;
    CheckSettings checks;
    if (const QString text = thresholdsEdit->text().trimmed(); !text.isEmpty()) {
        checks.thresholds = ThresholdsFromText(text);
        if (!checks.thresholds) {
            problem = QStringLiteral("Thresholds: give rising percentages such as 50,80,100.");
            return false;
        }
    }
    std::optional<double> hours, days, battery;
    if (!number(inspectionHoursEdit, hours, false) || !number(inspectionDaysEdit, days, false)
        || !number(batteryDaysEdit, battery, false))
        return false;
    checks.inspectionHours = hours;
    if (days)
        checks.inspectionDays = int(*days);
    if (battery)
        checks.batteryDays = int(*battery);
    change.checks = checks;
    return true;
}

QString StructureDialog::altered(const AircraftChange &change) const
{
    if (m_readouts == 0)
        return {};
    const QString history = QStringLiteral("all %1 read-outs of %2 (from %3 to %4)")
                                .arg(QString::number(m_readouts), m_aircraft.registration,
                                    m_first.toString(Qt::ISODate), m_last.toString(Qt::ISODate));
    QStringList said;
    if (change.structure && damageKey(*change.structure) != damageKey(m_aircraft.own))
        said << QStringLiteral("The damage and life used of %1 will be worked out anew; its rank "
                               "in the fleet may change.")
                    .arg(history);
    if (change.structure && limitsKey(*change.structure) != limitsKey(m_aircraft.own))
        said << QStringLiteral("The over-limit events of %1 will be found anew.").arg(history);
    if (change.checks && !(*change.checks == m_aircraft.ownChecks))
        said << QStringLiteral("Its status in the fleet (thresholds, inspections due, battery) "
                               "will be checked anew.");
    return said.join(QLatin1Char(' '));
}

void StructureDialog::askAndAccept()
{
    AircraftChange change;
    QString problem;
    if (read(change, problem) && change.structure && change.structure->damage)
        problem = CheckDamageParameters(*change.structure->damage).message();
    if (problem.isEmpty() && change.checks)
        problem = CheckCheckSettings(*change.checks).message();
    if (!problem.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), problem, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("invalidBox"));
        box.setAccessibleName(QStringLiteral("Not a valid value"));
        box.exec();
        return;
    }
    if (const QString said = altered(change); !said.isEmpty()) {
        QMessageBox box(QMessageBox::Question, windowTitle(),
            said + QStringLiteral("\n\nChange these figures?"), QMessageBox::Yes | QMessageBox::No,
            this);
        box.setObjectName(QStringLiteral("alterBox"));
        box.setAccessibleName(QStringLiteral("Change the past figures?"));
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    m_change = change;
    accept();
}

#pragma once

#include "RegisterTypes.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The aircraft's own structural data (σ₁ and its S-N curve, scatter factor, design life, load
// bounds, limit loads) and check settings (thresholds, inspections, battery), each empty field
// left to its type. OK says which past figures the change alters and asks first (No the default);
// only a Yes accepts. The dialog writes nothing: the window hands change() to the register.
// Named locations are kept as they are.
class StructureDialog : public QDialog
{
    Q_OBJECT
public:
    // `readouts` taken from `first` to `last`: the history the figures come from.
    StructureDialog(
        const AircraftInfo &aircraft, qint64 readouts, QDate first, QDate last, QWidget *parent);

    // The change the fields give (valid after the dialog was accepted).
    AircraftChange change() const { return m_change; }
    // What the change alters, in words; empty when it alters nothing.
    QString altered(const AircraftChange &change) const;

private:
    void makeStructure(QFormLayout *form);
    void makeChecks(QFormLayout *form);
    void fill();
    // The fields read; false, with what is wrong in `problem`, when one is not a number.
    bool read(AircraftChange &change, QString &problem) const;
    void askAndAccept();

    AircraftInfo m_aircraft;
    qint64 m_readouts = 0;
    QDate m_first;
    QDate m_last;
    AircraftChange m_change;

    QGroupBox *snGroup = nullptr;
    QLineEdit *stressEdit = nullptr;
    QLineEdit *slopeEdit = nullptr;
    QLineEdit *enduranceStressEdit = nullptr;
    QLineEdit *enduranceCyclesEdit = nullptr;
    QComboBox *belowCombo = nullptr;
    QLineEdit *ultimateEdit = nullptr;
    QLineEdit *scatterEdit = nullptr;
    QLineEdit *designLifeEdit = nullptr;
    QLineEdit *maxPositiveEdit = nullptr;
    QLineEdit *maxNegativeEdit = nullptr;
    QGroupBox *limitGroup = nullptr;
    QLineEdit *limitPositiveEdit = nullptr;
    QLineEdit *limitNegativeEdit = nullptr;
    QLineEdit *thresholdsEdit = nullptr;
    QLineEdit *inspectionHoursEdit = nullptr;
    QLineEdit *inspectionDaysEdit = nullptr;
    QLineEdit *batteryDaysEdit = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
};

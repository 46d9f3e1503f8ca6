#pragma once

#include "FleetWork.h"

#include <QDialog>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class Worker;

// Add Read-outs, before anything is written: the aircraft the files go to (one of the register,
// or a new one with its type and mode), and what the register will do with each record of them,
// as Register::previewAdd finds it on a worker thread: new, already there, another aircraft's,
// and for running totals running, wrap, reset or inconsistent, with the choice `--reset` gives.
// Only Add writes, and the window does that; an add that the register would refuse cannot be
// asked for.
class AddReadoutsDialog : public QDialog
{
    Q_OBJECT
public:
    AddReadoutsDialog(const RegisterLocation &location, const std::vector<AddFile> &files,
        const QStringList &registrations, QWidget *parent = nullptr);
    ~AddReadoutsDialog() override;

    QString registration() const;
    bool declaredReset() const;
    // The aircraft to make first: the registration is not one of the register's.
    std::optional<NewAircraft> newAircraft() const;
    const std::vector<AddFile> &files() const { return m_files; }

    // Waits for the preview under way and shows it.
    void waitUntilIdle();

signals:
    void previewShown(); // the decisions of the registration and choice now given

private:
    void makeChoices();
    void previewSoon();
    void showPreview(const AddPreviewResult &preview);
    void updateNewAircraft();

    RegisterLocation m_location;
    std::vector<AddFile> m_files;
    QStringList m_registrations;
    Worker *m_worker = nullptr;
    int m_generation = 0; // of the preview last asked for: an earlier one's is dropped
    bool m_refused = true;

    QComboBox *registrationCombo = nullptr;
    QLineEdit *typeEdit = nullptr;
    QComboBox *modeCombo = nullptr;
    QCheckBox *resetCheck = nullptr;
    QTableWidget *decisionTable = nullptr;
    QLabel *summaryLabel = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *cancelButton = nullptr;
};

// A record's decision in words, as the dialog's table says it.
QString AddDecisionText(const AddDecision &decision);

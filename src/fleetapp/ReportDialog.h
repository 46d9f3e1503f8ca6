#pragma once

#include <QDate>
#include <QDialog>

#include <optional>

class QCheckBox;
class QDateEdit;
class QDialogButtonBox;

// The period of the fleet's report: every read-out, or those taken since a day, as
// `zemra-cli report --fleet --since` takes it.
class ReportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ReportDialog(QWidget *parent = nullptr);
    std::optional<QDate> since() const; // none: every read-out

private:
    QCheckBox *sinceCheck = nullptr;
    QDateEdit *sinceEdit = nullptr;
    QDialogButtonBox *buttons = nullptr;
};

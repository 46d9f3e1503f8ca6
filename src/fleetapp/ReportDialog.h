#pragma once

#include "UsageReports.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QDialogButtonBox;

// The period of a report: every read-out, or those taken since a day and, for an aircraft's
// report, until a day, as `zemra-cli report --since/--until` takes them.
class ReportDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Fleet, Aircraft }; // the fleet's report has no end day
    explicit ReportDialog(Kind kind, const QString &title, QWidget *parent = nullptr);
    ReportWindow period() const; // the days asked for; neither: every read-out

private:
    QCheckBox *sinceCheck = nullptr;
    QDateEdit *sinceEdit = nullptr;
    QCheckBox *untilCheck = nullptr;
    QDateEdit *untilEdit = nullptr;
    QDialogButtonBox *buttons = nullptr;
};

#include "ReportDialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace {
// A day of the period, given only while its box is ticked.
QDateEdit *dayEdit(QWidget *parent, QCheckBox *check, const QDate &day, const char *name,
    const QString &accessible)
{
    auto *edit = new QDateEdit(day, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessible);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    QObject::connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    return edit;
}
} // namespace

ReportDialog::ReportDialog(Kind kind, const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("reportDialog"));
    setWindowTitle(title);
    auto *layout = new QFormLayout(this);
    sinceCheck = new QCheckBox(QStringLiteral("Only the read-outs taken &since"), this);
    sinceCheck->setObjectName(QStringLiteral("sinceCheck"));
    sinceCheck->setAccessibleName(QStringLiteral("Only the read-outs taken since a day"));
    sinceEdit = dayEdit(this, sinceCheck, QDate::currentDate().addYears(-1), "sinceEdit",
        QStringLiteral("First day of the report"));
    layout->addRow(sinceCheck, sinceEdit);
    if (kind == Kind::Aircraft) {
        untilCheck = new QCheckBox(QStringLiteral("Only the read-outs taken &until"), this);
        untilCheck->setObjectName(QStringLiteral("untilCheck"));
        untilCheck->setAccessibleName(QStringLiteral("Only the read-outs taken until a day"));
        untilEdit = dayEdit(this, untilCheck, QDate::currentDate(), "untilEdit",
            QStringLiteral("Last day of the report"));
        layout->addRow(untilCheck, untilEdit);
    }
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->setAccessibleName(QStringLiteral("Write the report or cancel"));
    QPushButton *okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAccessibleName(QStringLiteral("Write the report"));
    QPushButton *cancelButton = buttons->button(QDialogButtonBox::Cancel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAccessibleName(QStringLiteral("Cancel"));
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ReportWindow ReportDialog::period() const
{
    ReportWindow window;
    if (sinceCheck->isChecked())
        window.since = sinceEdit->date();
    if (untilCheck && untilCheck->isChecked())
        window.until = untilEdit->date();
    return window;
}

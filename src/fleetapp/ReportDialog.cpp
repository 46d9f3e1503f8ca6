#include "ReportDialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

ReportDialog::ReportDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("reportDialog"));
    setWindowTitle(QStringLiteral("Fleet Report"));
    sinceCheck = new QCheckBox(QStringLiteral("Only the read-outs taken &since"), this);
    sinceCheck->setObjectName(QStringLiteral("sinceCheck"));
    sinceCheck->setAccessibleName(QStringLiteral("Only the read-outs taken since a day"));
    sinceEdit = new QDateEdit(QDate::currentDate().addYears(-1), this);
    sinceEdit->setObjectName(QStringLiteral("sinceEdit"));
    sinceEdit->setAccessibleName(QStringLiteral("First day of the report"));
    sinceEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    sinceEdit->setCalendarPopup(true);
    sinceEdit->setEnabled(false);
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->setAccessibleName(QStringLiteral("Write the report or cancel"));
    QPushButton *okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAccessibleName(QStringLiteral("Write the report"));
    QPushButton *cancelButton = buttons->button(QDialogButtonBox::Cancel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAccessibleName(QStringLiteral("Cancel"));
    auto *layout = new QFormLayout(this);
    layout->addRow(sinceCheck, sinceEdit);
    layout->addRow(buttons);
    connect(sinceCheck, &QCheckBox::toggled, sinceEdit, &QWidget::setEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<QDate> ReportDialog::since() const
{
    if (!sinceCheck->isChecked())
        return std::nullopt;
    return sinceEdit->date();
}

#pragma once

#include "FormBase.h"

// The About box: shown without a modal loop; the technical information opens from it.
class AboutBox : public FormBase
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

signals:
    void techInfoRequested();

private:
    void closeWindow();
};

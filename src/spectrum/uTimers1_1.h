#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm6 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm6 *Form6;

#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm2 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm2 *Form2;

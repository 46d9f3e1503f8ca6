#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm4 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm4 *Form4;

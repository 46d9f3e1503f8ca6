#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm12 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm12(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm12 *Form12;

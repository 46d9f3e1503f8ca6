#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm9 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm9(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm9 *Form9;

#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm10 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm10(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm10 *Form10;

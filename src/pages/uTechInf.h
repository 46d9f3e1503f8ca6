#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm8 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm8 *Form8;

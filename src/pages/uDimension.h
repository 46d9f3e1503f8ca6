#pragma once

#include "app/FormBase.h"

class QPushButton;

class TForm11 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm11(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CliseClick();
};

extern TForm11 *Form11;

#pragma once

#include "app/FormBase.h"

class QPushButton;

class TAboutBox : public TFormBase
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TAboutBox *AboutBox;

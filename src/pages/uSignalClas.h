#pragma once

#include "app/FormBase.h"

class QPushButton;
class TImage;
class TMemo;

// The Signal classification page: how the recorder counts level crossings.
class TForm12 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm12(QWidget *parent = nullptr);

    QPushButton *Button1;
    TImage *Image1;
    TMemo *Memo1;

public slots:
    void CloseClick();
};

extern TForm12 *Form12;

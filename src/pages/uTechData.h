#pragma once

#include "app/FormBase.h"

class QPushButton;
class TMemo;

// The Technical data page.
class TForm13 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm13(QWidget *parent = nullptr);

    TMemo *Memo1;
    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm13 *Form13;

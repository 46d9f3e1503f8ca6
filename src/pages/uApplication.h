#pragma once

#include "app/FormBase.h"

class QPushButton;
class TMemo;

// The Application page: what the recorder is for and how it is built in.
class TForm9 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm9(QWidget *parent = nullptr);

    QPushButton *Button1;
    TMemo *Memo1;

public slots:
    void CloseClick();
};

extern TForm9 *Form9;

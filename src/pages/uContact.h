#pragma once

#include "app/FormBase.h"

class QPushButton;
class TMemo;

// The contact page: the maker's address and contact persons.
class TForm7 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);

    QPushButton *Button1;
    TMemo *Memo1;

public slots:
    void CloseClick();
};

extern TForm7 *Form7;

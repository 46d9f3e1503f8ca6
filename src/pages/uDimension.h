#pragma once

#include "app/FormBase.h"

class QPushButton;
class TImage;

// The Dimension page: the dimensioned drawing of the casing.
class TForm11 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm11(QWidget *parent = nullptr);

    QPushButton *Button1;
    TImage *Image1;

public slots:
    void CliseClick();
};

extern TForm11 *Form11;

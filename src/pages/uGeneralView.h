#pragma once

#include "app/FormBase.h"

class QPushButton;
class TImage;

// The General view page: a picture of the recorder.
class TForm10 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm10(QWidget *parent = nullptr);

    TImage *Image1;
    QPushButton *Button1;

public slots:
    void CloseClick();
};

extern TForm10 *Form10;

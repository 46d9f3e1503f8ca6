#pragma once

#include "app/FormBase.h"

class QLabel;
class QPushButton;
class TImage;

// A panel drawn with a lowered outer and a raised inner bevel.
class TBevelPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TBevelPanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The About box: shown without a modal loop; the technical information opens from it.
class TAboutBox : public TFormBase
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    TBevelPanel *Panel1;
    TImage *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Copyright;
    QLabel *Comments;
    QPushButton *Button1;
    QPushButton *Button2;

public slots:
    void CloseClick();
    void Tech_InformationClick();
};

extern TAboutBox *AboutBox;

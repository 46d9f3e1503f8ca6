#pragma once

#include "app/FormBase.h"

class QAction;
class QMenuBar;
class QPushButton;

// The technical information: its menu bar opens the five pages about the instrument.
class TForm8 : public TFormBase
{
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);

    QMenuBar *MainMenu1;
    QAction *Overview;
    QPushButton *Button1;
    QAction *GeneralView1;
    QAction *Dimension1;
    QAction *SignalClassification1;
    QAction *TechnicalData1;

    // The area below the menu bar; the controls are placed in it.
    QWidget *clientArea() const { return m_client; }

public slots:
    void CloseClick();
    void GeneralView1Click();
    void Dimension();
    void Application1Click();
    void SignalClassification1Click();
    void TechnicalData1Click();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_client;
};

extern TForm8 *Form8;

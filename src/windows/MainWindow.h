#pragma once

#include "FormBase.h"

class QFrame;
class QLabel;
class QPushButton;

// The title screen with the six function buttons. It opens no window itself: each function
// button asks for its window through a signal, and whoever owns the windows shows it.
class MainWindow : public FormBase
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

signals:
    void dataCopyRequested();
    void spectrumRequested();
    void counterResetRequested();
    void timersRequested();
    void aboutRequested();
    void contactRequested();

protected:
    // Closing the main window through its frame ends the program and keeps the working files.
    void closeEvent(QCloseEvent *event) override;

private:
    // Deletes the working files and ends the program.
    void closeProgram();

    QFrame *m_functionPanel;
    QPushButton *m_dataCopyButton;
    QPushButton *m_spectrumButton;
    QPushButton *m_counterResetButton;
    QPushButton *m_timersButton;
    QPushButton *m_aboutButton;
    QPushButton *m_contactButton;
    QPushButton *m_closeButton;
};

// The rights notice shown on the main window.
inline const QString RightsNoticeLine1 = QStringLiteral("(C) 2002 Imaginary Instruments Ltd.");
inline const QString RightsNoticeLine2 = QStringLiteral("All rights reserved.");

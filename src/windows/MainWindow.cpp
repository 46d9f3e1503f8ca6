#include "MainWindow.h"

#include "WorkingCopy.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

MainWindow::MainWindow(QWidget *parent)
    : FormBase(Frame::Sizeable, parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("    ZEMRA  DEMO1"));
    setOuterSize(601, 375);

    m_functionPanel = new QFrame(this);
    m_functionPanel->setObjectName(QStringLiteral("functionPanel"));
    m_functionPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_functionPanel->setLineWidth(1);
    m_functionPanel->setGeometry(24, 8, 545, 41);
    m_dataCopyButton
        = addButton("dataCopyButton", QStringLiteral("&DataCopy"), 8, 8, 65, 25, m_functionPanel);
    m_spectrumButton
        = addButton("spectrumButton", QStringLiteral("&Spectrum"), 96, 8, 65, 25, m_functionPanel);
    m_counterResetButton = addButton(
        "counterResetButton", QStringLiteral("Counter&Reset"), 184, 8, 81, 25, m_functionPanel);
    m_timersButton
        = addButton("timersButton", QStringLiteral("&Timers"), 288, 8, 65, 25, m_functionPanel);
    m_aboutButton
        = addButton("aboutButton", QStringLiteral("&About"), 376, 8, 65, 25, m_functionPanel);
    m_contactButton
        = addButton("contactButton", QStringLiteral("C&ontact"), 464, 8, 75, 25, m_functionPanel);

    addLabel("titleLabel", QStringLiteral("ZEMRA"), 240, 112, layoutFont(32, true, true),
        Colours::Green);
    addLabel("subtitleLabel", QStringLiteral("AUTONOMOUS FATIGUE LOADS RECORDER"), 24, 176,
        layoutFont(23, true), Colours::Green);
    addLabel("versionLabel", QStringLiteral("V. DEMO"), 248, 232, layoutFont(19, false, true),
        Colours::Green);
    addLabel("rightsLabel", RightsNoticeLine1, 200, 280, font());
    addLabel("rightsEndLabel", RightsNoticeLine2, 248, 304, font());
    m_closeButton = addButton("closeButton", QStringLiteral("&Close"), 496, 304);

    setTabOrder(m_dataCopyButton, m_spectrumButton);
    setTabOrder(m_spectrumButton, m_counterResetButton);
    setTabOrder(m_counterResetButton, m_timersButton);
    setTabOrder(m_timersButton, m_aboutButton);
    setTabOrder(m_aboutButton, m_contactButton);
    setTabOrder(m_contactButton, m_closeButton);
    m_dataCopyButton->setFocus();

    onClick(m_closeButton, &MainWindow::closeProgram);
    connect(m_dataCopyButton, &QPushButton::clicked, this, &MainWindow::dataCopyRequested);
    connect(m_spectrumButton, &QPushButton::clicked, this, &MainWindow::spectrumRequested);
    connect(m_counterResetButton, &QPushButton::clicked, this, &MainWindow::counterResetRequested);
    connect(m_timersButton, &QPushButton::clicked, this, &MainWindow::timersRequested);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::aboutRequested);
    connect(m_contactButton, &QPushButton::clicked, this, &MainWindow::contactRequested);
}

void MainWindow::closeProgram()
{
    DeleteWorkingFiles();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    FormBase::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

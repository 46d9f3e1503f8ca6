#pragma once

#include "FormBase.h"
#include "InfoPage.h"

class QAction;
class QMenuBar;

// The technical information: its menu bar opens the five pages about the instrument.
class TechInfoWindow : public FormBase
{
    Q_OBJECT
public:
    explicit TechInfoWindow(QWidget *parent = nullptr);

    // The area below the menu bar; the controls are placed in it.
    QWidget *clientArea() const { return m_client; }

signals:
    // A menu item asks for its page.
    void pageRequested(InfoPage::Page page);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void closeWindow();

    QMenuBar *m_menuBar;
    QWidget *m_client;
};

#pragma once

#include <QPlainTextEdit>
#include <QStringList>

// A read-only multi-line text: word-wrapped, without scroll bars, its text can be selected and
// copied but not changed. Return is its own (it does nothing); Tab moves the focus on unless
// the memo is told to keep it.
class Memo : public QPlainTextEdit
{
    Q_OBJECT
public:
    Memo(const QStringList &lines, int x, int y, int width, int height, const QFont &font,
        QWidget *parent);

    QStringList lines() const;

    void setWantTabs(bool wantTabs) { m_wantTabs = wantTabs; }
    bool wantTabs() const { return m_wantTabs; }

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_wantTabs = false;
};

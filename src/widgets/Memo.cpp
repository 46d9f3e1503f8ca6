#include "Memo.h"

#include <QKeyEvent>
#include <QTextBlock>

Memo::Memo(const QStringList &lines, int x, int y, int width, int height, const QFont &font,
    QWidget *parent)
    : QPlainTextEdit(parent)
{
    setGeometry(x, y, width, height);
    setFont(font);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(2);
    setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList Memo::lines() const
{
    QStringList lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

bool Memo::focusNextPrevChild(bool next)
{
    if (m_wantTabs)
        return false;
    return QPlainTextEdit::focusNextPrevChild(next);
}

void Memo::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const int key = event->key();
    // A read-only memo takes Return (and Tab when it keeps it) and does nothing with them, so
    // they neither press a button nor move the focus.
    if (plain
        && (key == Qt::Key_Return || key == Qt::Key_Enter
            || (m_wantTabs && (key == Qt::Key_Tab || key == Qt::Key_Backtab)))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

#include "platform/memo.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextCursor>

namespace orvasel {

Memo::Memo(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (programmatic_ == 0)
            emit Change();
    });
}

QString Memo::Text() const
{
    // The raw text keeps no-break spaces, which the plain text would turn into spaces.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void Memo::SetText(const QString& text)
{
    const QScopedValueRollback program(programmatic_, programmatic_ + 1);
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);
}

void Memo::AppendLine(const QString& line)
{
    const QScopedValueRollback program(programmatic_, programmatic_ + 1);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line + QLatin1Char('\n'));
}

void Memo::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    emit Enter();
}

void Memo::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(event->key(), event->modifiers());
    QPlainTextEdit::keyPressEvent(event);
}

void Memo::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit KeyUp(event->key(), event->modifiers());
}

}  // namespace orvasel

#pragma once
// The multi-line note editor. Its text holds lines separated by CR LF, as the note file expects;
// it reports when it gains the keyboard focus, every key pressed or released in it, and every change
// of its text that the program itself did not make.
#include <QPlainTextEdit>

namespace orvasel {

class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);

    // The whole text, line breaks as CR LF.
    QString Text() const;
    // Replaces the whole text; each LF or CR LF becomes one line break.
    void SetText(const QString& text);
    // Appends one line and its line break.
    void AppendLine(const QString& line);

signals:
    // The text changed by the user, whatever the means: keys, paste and cut by keys, menu or middle
    // click, undo and redo, a drop, an input method.
    void Change();
    void Enter();
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int programmatic_ = 0;
};

}  // namespace orvasel

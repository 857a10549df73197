#pragma once
// A label sized to its text: it grows and shrinks with its caption.
#include <QLabel>

namespace orvasel {

class Label : public QLabel {
    Q_OBJECT
public:
    Label(const QString& caption, QWidget* parent) : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        SetCaption(caption);
    }

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption)
    {
        setText(caption);
        adjustSize();
    }
};

}  // namespace orvasel

#pragma once
// A label sized to its text: it grows and shrinks with its caption. Assistive technology reads
// the caption itself, exactly (an "&" in a folder name included).
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
        setAccessibleName(caption);
        adjustSize();
    }
};

}  // namespace orvasel

#pragma once
// What a note or an exported-audio path needs before it can be stored in code page 1252: its
// letters composed (a decomposed "é" becomes the one "é"), the characters that have a natural
// equivalent there (the thin no-break space French typing puts before ":" or "?", typographic
// hyphens and minus signs, invisible joiners), and those that have none, each named for the user.
#include <QString>
#include <QStringList>

namespace orvasel::storable {

struct Check {
    QString composed;          // the text with its letters composed, nothing else changed
    QString withEquivalents;   // the same with every character that has an equivalent replaced
    QStringList replaceable;   // each such character once, named: « espace fine insécable (U+202F) »
    QStringList impossible;    // each character with no equivalent once, named: « ☺ » (U+263A)
    // Where the first character with no equivalent stands (from 1, in characters): its line and
    // column in a text of lines separated by CR LF; 0 when there is none.
    int firstImpossibleLine = 0;
    int firstImpossibleColumn = 0;
};

enum class Lines { Many, One };

// One line (the exported-audio path) takes a line separator as a space, many as a line break.
Check check(const QString& text, Lines lines);

}  // namespace orvasel::storable

#include "platform/storable_text.h"

#include "platform/ansi.h"

#include <algorithm>
#include <iterator>

namespace orvasel::storable {
namespace {

struct Equivalent {
    char32_t character;
    const char16_t* replacement;  // u"" for nothing; u"\n" for a line break
    const char* name;
};

// Characters that come with text pasted from a web page, a word processor or a PDF, and that code
// page 1252 holds in another form. Sorted by character.
constexpr Equivalent kEquivalents[] = {
    {0x02BC, u"\u2019", "apostrophe modificative"},
    {0x2002, u" ", "espace demi-cadratin"},
    {0x2003, u" ", "espace cadratin"},
    {0x2004, u" ", "espace tiers de cadratin"},
    {0x2005, u" ", "espace quart de cadratin"},
    {0x2006, u" ", "espace sixième de cadratin"},
    {0x2007, u"\u00A0", "espace tabulaire"},
    {0x2008, u" ", "espace ponctuation"},
    {0x2009, u"\u00A0", "espace fine"},
    {0x200A, u" ", "espace ultrafine"},
    {0x200B, u"", "espace sans chasse"},
    {0x200C, u"", "antiliant sans chasse"},
    {0x200D, u"", "liant sans chasse"},
    {0x200E, u"", "marque gauche à droite"},
    {0x200F, u"", "marque droite à gauche"},
    {0x2010, u"-", "trait d'union"},
    {0x2011, u"-", "trait d'union insécable"},
    {0x2012, u"-", "tiret numérique"},
    {0x2015, u"\u2014", "barre horizontale"},
    {0x2024, u".", "point de conduite"},
    {0x2028, u"\n", "séparateur de ligne"},
    {0x2029, u"\n", "séparateur de paragraphe"},
    {0x202F, u"\u00A0", "espace fine insécable"},
    {0x2032, u"'", "prime"},
    {0x2033, u"\"", "double prime"},
    {0x2043, u"-", "puce trait d'union"},
    {0x2044, u"/", "barre de fraction"},
    {0x205F, u" ", "espace moyenne mathématique"},
    {0x2060, u"", "gluon de mots"},
    {0x2212, u"-", "signe moins"},
    {0x2215, u"/", "barre oblique de division"},
    {0x3000, u" ", "espace idéographique"},
    {0xFB00, u"ff", "ligature ff"},
    {0xFB01, u"fi", "ligature fi"},
    {0xFB02, u"fl", "ligature fl"},
    {0xFB03, u"ffi", "ligature ffi"},
    {0xFB04, u"ffl", "ligature ffl"},
    {0xFEFF, u"", "indicateur d'ordre des octets"},
};

const Equivalent* equivalentOf(char32_t character)
{
    const auto found = std::lower_bound(std::begin(kEquivalents), std::end(kEquivalents), character,
                                        [](const Equivalent& e, char32_t c) { return e.character < c; });
    return found != std::end(kEquivalents) && found->character == character ? found : nullptr;
}

QString code(char32_t character)
{
    return QStringLiteral("U+") + QString::number(uint(character), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// A character as the user can recognise it: shown between guillemets when it shows at all.
QString nameOf(char32_t character, const QString& text)
{
    if (const Equivalent* equivalent = equivalentOf(character))
        return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(equivalent->name), code(character));
    if (QChar::isPrint(character) && !QChar::isSpace(character))
        return QStringLiteral("« %1 » (%2)").arg(text, code(character));
    return QStringLiteral("caractère invisible (%1)").arg(code(character));
}

}  // namespace

Check check(const QString& text, Lines lines)
{
    Check result;
    result.composed = text.normalized(QString::NormalizationForm_C);
    // Almost every note: nothing to look at character by character.
    if (ansi::fromUnicode(result.composed)) {
        result.withEquivalents = result.composed;
        return result;
    }
    int line = 1;
    int column = 0;
    const QString& composed = result.composed;
    for (qsizetype i = 0; i < composed.size();) {
        const qsizetype length = composed.at(i).isHighSurrogate() && i + 1 < composed.size() ? 2 : 1;
        const QString character = composed.mid(i, length);
        const char32_t value = length == 2 ? QChar::surrogateToUcs4(composed.at(i), composed.at(i + 1)) : composed.at(i).unicode();
        i += length;
        ++column;
        if (value == u'\n') {
            ++line;
            column = 0;
        }
        if (ansi::fromUnicode(character)) {
            result.withEquivalents += character;
            continue;
        }
        const QString name = nameOf(value, character);
        if (const Equivalent* equivalent = equivalentOf(value)) {
            QString replacement = QString::fromUtf16(equivalent->replacement);
            if (replacement == QLatin1String("\n"))
                replacement = lines == Lines::One ? QStringLiteral(" ") : QStringLiteral("\r\n");
            result.withEquivalents += replacement;
            if (!result.replaceable.contains(name))
                result.replaceable << name;
            continue;
        }
        result.withEquivalents += character;
        if (result.impossible.isEmpty()) {
            result.firstImpossibleLine = line;
            result.firstImpossibleColumn = column;
        }
        if (!result.impossible.contains(name))
            result.impossible << name;
    }
    return result;
}

}  // namespace orvasel::storable

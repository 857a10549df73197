#include "platform/ansi.h"

#include "storage/text.h"

namespace orvasel::ansi {

QString toUnicode(std::string_view cp1252)
{
    const std::string utf8 = text::cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::optional<std::string> fromUnicode(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return text::utf8ToCp1252(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

QString unstorableCharacters(const QString& text)
{
    QString found;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!fromUnicode(character) && !found.contains(character))
            found += character;
        i += length;
    }
    return found;
}

}  // namespace orvasel::ansi

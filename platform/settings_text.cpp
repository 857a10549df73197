#include "platform/settings_text.h"

#include "platform/ansi.h"
#include "storage/settings_file.h"

namespace orvasel::settings_text {

QString whyNotStorable(const QString& text, const QString& marker)
{
    // The reader ends the list at this line, so whatever came after it would be lost.
    if (!marker.isEmpty() && text == marker)
        return QStringLiteral("« %1 » est réservé par le fichier de réglages").arg(marker);
    const auto bytes = ansi::fromUnicode(text);
    if (!bytes)
        return QStringLiteral("contient des caractères que le fichier de réglages ne peut pas enregistrer : %1")
            .arg(ansi::unstorableCharacters(text));
    if (settings_file::fitsOneLine(*bytes))
        return QString();
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        return QStringLiteral("contient un saut de ligne");
    return QStringLiteral("dépasse %1 caractères").arg(settings_file::kMaxLineLength);
}

}  // namespace orvasel::settings_text

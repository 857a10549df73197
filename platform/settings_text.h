#pragma once
// Whether the settings file can keep a text that the user gives: a bookmark's folder or name, the
// location of Cubase or of the player. Told when the text is given, so that the close never fails on it.
#include <QString>

namespace orvasel::settings_text {

// Why the settings file could not keep this text, as a French phrase that follows "le dossier",
// "le nom" or "le chemin"; empty when it can. `marker` is the line that ends the text's list in
// the file, if the text is in a list.
QString whyNotStorable(const QString& text, const QString& marker = QString());

}  // namespace orvasel::settings_text

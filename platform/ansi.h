#pragma once
// The one bridge between the files' code page 1252 bytes and the interface's Unicode text.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace orvasel::ansi {

QString toUnicode(std::string_view cp1252);

// Nothing when the text holds a character that code page 1252 cannot store.
std::optional<std::string> fromUnicode(const QString& text);

// The characters of the text that code page 1252 cannot store, each once, in order of appearance.
QString unstorableCharacters(const QString& text);

}  // namespace orvasel::ansi

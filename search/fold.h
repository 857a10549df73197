#pragma once
// Letter case and accents folded away over code page 1252, byte for byte: "Été", "ETE" and "été"
// all become "ete", so that a search finds a word however it was typed.
#include <string>
#include <string_view>

namespace orvasel::search {

// The folded byte: a capital becomes its small letter, an accented Latin letter its bare letter
// ("Ç" -> "c", "Ÿ" -> "y"); every other byte stays as it is.
unsigned char foldByte(unsigned char byte);

// The bytes folded one by one into out (which takes the same length as the bytes).
void foldInto(std::string_view cp1252, std::string& out);

}  // namespace orvasel::search

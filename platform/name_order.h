#pragma once
// The order of file names wherever the program lists them: by language, letter case ignored, in
// the user's language (the common rules of the Latin alphabet under the "C" locale).
#include <QString>

namespace orvasel {

// Below zero when a comes first, zero when the two rank alike, above zero otherwise.
int compareNames(const QString& a, const QString& b);

}  // namespace orvasel

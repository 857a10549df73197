#include "platform/name_order.h"

#include <QLocale>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <string>
#else
#include <QCollator>
#endif

namespace orvasel {
namespace {

// The language whose rules order the names. The "C" locale would compare code points, letter
// case included; the system's lists always sort by language, so such a user gets the common
// rules of the Latin alphabet.
QLocale orderLanguage()
{
    const QLocale user;
    return user.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : user;
}

}  // namespace

#ifdef _WIN32

// Qt's collation is not trusted on Windows (its sort keys leave half of each key unset): the
// system compares, with the same rules, case-insensitive, in the user's language.
int compareNames(const QString& a, const QString& b)
{
    static const std::wstring language = orderLanguage().bcp47Name().toStdWString();
    const int order = CompareStringEx(language.c_str(), NORM_IGNORECASE, reinterpret_cast<LPCWSTR>(a.utf16()),
                                      int(a.size()), reinterpret_cast<LPCWSTR>(b.utf16()), int(b.size()), nullptr,
                                      nullptr, 0);
    return order == 0 ? a.compare(b) : order - CSTR_EQUAL;  // 0: failed, the code points decide
}

#else

int compareNames(const QString& a, const QString& b)
{
    static const QCollator collator = [] {
        QCollator c{orderLanguage()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator.compare(a, b);
}

#endif

}  // namespace orvasel

#include "platform/name_order.h"

#include <QLocale>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>
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

const std::wstring& languageName()
{
    static const std::wstring language = orderLanguage().bcp47Name().toStdWString();
    return language;
}

// Qt's collation is not trusted on Windows (its sort keys leave half of each key unset): the
// system compares, with the same rules, case-insensitive, in the user's language.
int compareNames(const QString& a, const QString& b)
{
    const int order = CompareStringEx(languageName().c_str(), NORM_IGNORECASE, reinterpret_cast<LPCWSTR>(a.utf16()),
                                      int(a.size()), reinterpret_cast<LPCWSTR>(b.utf16()), int(b.size()), nullptr,
                                      nullptr, 0);
    return order == 0 ? a.compare(b) : order - CSTR_EQUAL;  // 0: failed, the code points decide
}

// The system's sort key under the same rules: its bytes compare as the names do.
NameKey::NameKey(const QString& name)
{
    const auto source = reinterpret_cast<LPCWSTR>(name.utf16());
    const int size = LCMapStringEx(languageName().c_str(), LCMAP_SORTKEY | NORM_IGNORECASE, source, int(name.size()),
                                   nullptr, 0, nullptr, nullptr, 0);
    if (size > 0) {
        bytes_.resize(size);
        LCMapStringEx(languageName().c_str(), LCMAP_SORTKEY | NORM_IGNORECASE, source, int(name.size()),
                      reinterpret_cast<LPWSTR>(bytes_.data()), size, nullptr, nullptr, 0);
    } else {
        bytes_ = name.toUtf8();  // failed: the code points decide, as for compareNames
    }
}

int NameKey::compare(const NameKey& other) const
{
    const int order = std::memcmp(bytes_.constData(), other.bytes_.constData(),
                                  std::size_t(std::min(bytes_.size(), other.bytes_.size())));
    return order != 0 ? order : int(bytes_.size() > other.bytes_.size()) - int(bytes_.size() < other.bytes_.size());
}

#else

namespace {

QCollator nameCollator()
{
    QCollator collator{orderLanguage()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

}  // namespace

int compareNames(const QString& a, const QString& b)
{
    static const QCollator collator = nameCollator();
    return collator.compare(a, b);
}

NameKey::NameKey(const QString& name)
{
    // Each thread its own: a collator is not shared between threads.
    thread_local const QCollator collator = nameCollator();
    key_.emplace(collator.sortKey(name));
}

int NameKey::compare(const NameKey& other) const
{
    if (!key_ || !other.key_)
        return int(bool(key_)) - int(bool(other.key_));
    return key_->compare(*other.key_);
}

#endif

}  // namespace orvasel

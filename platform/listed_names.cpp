#include "platform/listed_names.h"

#include <algorithm>

namespace orvasel {

ListedNames::ListedNames()
    : decoder_(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom)
{
}

void ListedNames::clear()
{
    names_.clear();
    names_.reserve(last_.size());
    allAsLast_ = true;
}

void ListedNames::add(const std::string& name)
{
    const QByteArrayView bytes(name);
    // Most names are plain ASCII, which needs no decoding.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const qsizetype place = names_.size();
    if (ascii && place < last_.size() && last_.at(place) == QLatin1StringView(bytes)) {
        names_ << last_.at(place);
        return;
    }
    QString decoded = ascii ? QString::fromLatin1(bytes) : decoder_(bytes);
    if (decoder_.hasError()) {
        decoder_.resetState();
        return;
    }
    allAsLast_ = allAsLast_ && place < last_.size() && last_.at(place) == decoded;
    names_ << std::move(decoded);
}

QStringList ListedNames::names()
{
    if (allAsLast_ && names_.size() == last_.size())
        names_ = last_;
    else
        last_ = names_;
    return names_;
}

}  // namespace orvasel

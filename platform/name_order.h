#pragma once
// The order of file names wherever the program lists them: by language, letter case ignored, in
// the user's language (the common rules of the Latin alphabet under the "C" locale).
#include <QByteArray>
#include <QString>
#ifndef _WIN32
#include <QCollatorSortKey>
#include <optional>
#endif

namespace orvasel {

// Below zero when a comes first, zero when the two rank alike, above zero otherwise.
int compareNames(const QString& a, const QString& b);

// A name made ready for many comparisons in that order: comparing two keys ranks their names as
// compareNames does, at a fraction of its cost. Made on any thread.
class NameKey {
public:
    NameKey() = default;
    explicit NameKey(const QString& name);
    int compare(const NameKey& other) const;

private:
#ifdef _WIN32
    QByteArray bytes_;
#else
    std::optional<QCollatorSortKey> key_;
#endif
};

}  // namespace orvasel

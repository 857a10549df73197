#pragma once
// The names a folder search gives, as the program's strings. A name that is not valid UTF-8 is left
// out: it would come back as another name, its note could not be found, and a selection would
// create a new file beside it. A folder listed again mostly gives the same names in the same
// order: each name that is the one of the last time at its place comes back as that same string,
// without decoding it again, and the same names all come back as the same list.
#include <QStringDecoder>
#include <QStringList>
#include <string>

namespace orvasel {

class ListedNames {
public:
    ListedNames();
    // Starts the names of a new search.
    void clear();
    // The next name the search gave, as it gave it.
    void add(const std::string& name);
    // The names given since the start, in their order.
    QStringList names();

private:
    QStringDecoder decoder_;
    QStringList names_;
    QStringList last_;
    bool allAsLast_ = true;
};

}  // namespace orvasel

#pragma once
// Folder texts as the program carries them: a folder ends with the separator and a file name is
// appended to it directly. The separator is the backslash on Windows and '/' elsewhere.
#include <QString>
#include <string>

namespace orvasel::paths {

QChar separator();

// Every character after the last separator dropped; a text without a separator becomes empty.
QString cutAfterLastSeparator(const QString& text);

// The last path component (after the last separator) and everything up to and including it.
QString fileNamePart(const QString& path);
QString folderPart(const QString& path);

// A folder as the folder list names it: clean, native separators, no final separator but at a root.
QString folderName(const QString& folder);

// The UTF-8 path the file functions take.
std::string toFileSystem(const QString& path);

}  // namespace orvasel::paths

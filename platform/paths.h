#pragma once
// Folder texts as the program carries them: a folder ends with the separator and a file name is
// appended to it directly. The separator is the backslash on Windows and '/' elsewhere.
#include <QString>
#include <QStringList>
#include <string>

namespace orvasel::paths {

QChar separator();

// Every character after the last separator dropped; a text without a separator becomes empty.
QString cutAfterLastSeparator(const QString& text);

// The last path component (after the last separator) and everything up to and including it.
QString fileNamePart(const QString& path);
QString folderPart(const QString& path);

// A folder as the folder list names it: clean, native separators, no final separator but at a
// root ("C:\", "\\serveur\partage\", "/").
QString folderName(const QString& folder);

// Whether the text says where the folder is without depending on where the program stands: from
// a drive or a network share on Windows ("C:\Musique", "\\serveur\partage\Musique"), from "/"
// elsewhere. "Musique", "C:Musique" and "\Musique" do not.
bool isFullPath(const QString& text);
// A full path to show the user as an example.
QString fullPathExample();

// How the file system compares names: letter case aside on Windows, exactly elsewhere.
Qt::CaseSensitivity fileNameCase();

// The folder texts (each ending with the separator) without repeats and without those inside
// another of them, in their order; names compared with the given letter-case rule.
QStringList outermostFolders(const QStringList& folderTexts, Qt::CaseSensitivity sensitivity = fileNameCase());

// The UTF-8 path the file functions take.
std::string toFileSystem(const QString& path);

}  // namespace orvasel::paths

#pragma once
// Where the drafts of unsaved notes live, one file per note: the user's data folder
// (%LOCALAPPDATA%\Orvasel\brouillons\ on Windows, ~/.local/share/Orvasel/brouillons/ on Linux),
// never beside the project, whose folder stays as Cubase and synchronisation clients expect it.
// Each running copy of the program marks its drafts with a session of its own, held for as long
// as it runs, so that another copy never takes a draft still being written for a recovered one.
#include "storage/draft_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace orvasel::drafts {

// The drafts' folder, ending with the separator.
QString folder();
// Lets a test keep its drafts in a folder of its own (empty: the real one).
void overrideFolder(const QString& folder);

// This copy's draft file for an information file (each copy keeps its own).
QString fileFor(const QString& infoPath);

// This copy's session, held from its first call until the program ends.
std::string session();

struct Found {
    QString file;
    draft_file::Draft draft;
};

// The most recent draft of that information file left by a copy that no longer runs, if any.
// A damaged one is set aside first (its place added to setAside) and never taken for a note.
std::optional<Found> find(const QString& infoPath, QStringList* setAside = nullptr);
// Every draft left by a copy that no longer runs, the most recent first.
std::vector<Found> left();

// The project a draft's note belongs to.
QString projectPath(const draft_file::Draft& draft);

// The moment of a draft, as the user reads it: "8 décembre 2026 à 14:03".
QString dateText(const draft_file::Draft& draft);

// Keeps the draft as a text file the user can open, in the drafts' folder, and removes the draft:
// the text file's path, or nothing (the draft then stays as it is) when it could not be written.
std::optional<QString> setAside(const Found& found);

}  // namespace orvasel::drafts

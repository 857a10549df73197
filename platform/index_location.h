#pragma once
// Where the index of what was read of the projects lives: the user's cache folder,
// %LOCALAPPDATA%\Orvasel\Cache\ on Windows, ~/.cache/Orvasel/ on Linux. Tests put it elsewhere.
#include <QString>

namespace orvasel::index_location {

QString indexFile();

// Makes indexFile return this path (empty: the user's own again).
void overrideIndexFile(const QString& path);

}  // namespace orvasel::index_location

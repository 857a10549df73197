#pragma once
// Where the settings file "Orvasel.you" lives: beside the program, where existing users keep it,
// when the program may write there; otherwise in the user's configuration folder, which starts
// out as a copy of the file installed beside the program.
#include <QString>
#include <optional>
#include <string_view>

namespace orvasel::settings_location {

// Decides where this run keeps its settings file and returns the file's path. Run once, at start:
// the same file is then read and written for the whole run.
QString locate();

// The copy of a settings file that could not be read fully: "<file>.bak", beside it.
QString backupOf(const QString& settingsFile);

// Keeps the bytes of a settings file that could not be read fully in its copy, so that the next
// save does not lose them. The system's reason when that failed.
std::optional<QString> keepBackup(const QString& settingsFile, std::string_view bytes);

}  // namespace orvasel::settings_location

#pragma once
// Where the settings file "Orvasel.you" lives: beside the program, where existing users keep it,
// when the program may write there; otherwise in the user's configuration folder, which starts
// out as a copy of the file installed beside the program.
#include <QString>
#include <memory>
#include <optional>
#include <string_view>

namespace orvasel::settings_location {

// Decides where this run keeps its settings file and returns the file's path. Run once, at start:
// the same file is then read and written for the whole run.
QString locate();

// A settings file that could not be read fully is kept beside it before anything replaces it:
// "Orvasel.you.bak", then "Orvasel.you.bak-2"… up to ten, the oldest giving way to a new one, so
// that no copy kept is ever written over.
struct Kept {
    QString path;     // where the bytes are kept, when they are
    QString failure;  // why they are not, in French
};
Kept keepBackup(const QString& settingsFile, std::string_view bytes);
// The same for a file too large to be read at all: it is moved aside whole, under the same names.
Kept moveAside(const QString& settingsFile);

// A lock held while a copy of the program reads, merges and writes the settings file, so that two
// copies closing at once cannot lose either's changes. A lock left by a copy that ended without
// letting go does not count.
class WriteLock {
public:
    explicit WriteLock(const QString& settingsFile);
    ~WriteLock();
    // Waits for another copy to finish, for the time given at most; false when it did not.
    bool take(int withinMs);

private:
    struct Held;
    std::unique_ptr<Held> held_;
};

}  // namespace orvasel::settings_location

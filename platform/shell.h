#pragma once
// The desktop shell's "open" request: hand a document to the program the system associates with
// it, or start a program with a parameter text, in a working folder. Whatever cannot be started
// is told to the user.
#include <QString>

class QWidget;

namespace orvasel::shell {

// Show commands as the shell knows them.
inline constexpr int kShowNoActivate = 8;  // SW_SHOWNA
inline constexpr int kRestore = 9;         // SW_RESTORE

// What the request's file is, as the caller knows it. Never guessed from the file itself: on drives
// formatted for Windows every file looks executable.
enum class Target {
    Document,  // opened with the program the system associates with its type
    Program,   // started, with the parameter text
};

struct Request {
    QWidget* owner = nullptr;
    QString operation;   // "open"
    QString file;        // a document or a program: a full path or a name inside the working folder
    QString parameters;  // for a program: its argument
    QString directory;   // working folder, may be empty
    int showCommand = kRestore;
    Target target = Target::Document;
};

class Shell {
public:
    virtual ~Shell() = default;
    virtual void execute(const Request& request) = 0;
};

// The shell in use; the system's unless a test installed its own.
Shell& current();
// Installs a replacement (nullptr brings the system's back). The caller keeps ownership.
void install(Shell* replacement);

// The file manager at a file's folder, through the shell in use: on Windows Explorer with the file
// selected, elsewhere the desktop's opener on the folder.
void showInFileManager(QWidget* owner, const QString& folderText, const QString& fileName);

}  // namespace orvasel::shell

namespace orvasel::shell {
// The system's own shell (defined with the launcher of this platform).
Shell& system();
// For the system's shells: the request's file as a full path, and the French message that tells
// the user why nothing was started for it.
QString pathOf(const Request& request);
void tellNotStarted(const Request& request, const QString& reason);
}  // namespace orvasel::shell

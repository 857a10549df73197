#pragma once
// The desktop shell's "open" request: hand a document to the program the system associates with
// it, or start a program with a parameter text, in a working folder.
#include <QString>

class QWidget;

namespace orvasel::shell {

// Show commands as the shell knows them.
inline constexpr int kShowNoActivate = 8;  // SW_SHOWNA
inline constexpr int kRestore = 9;         // SW_RESTORE

struct Request {
    QWidget* owner = nullptr;
    QString operation;   // "open"
    QString file;        // a document or a program
    QString parameters;  // for a program: its argument
    QString directory;   // working folder, may be empty
    int showCommand = kRestore;
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

}  // namespace orvasel::shell

namespace orvasel::shell {
// The system's own shell (defined with the launcher of this platform).
Shell& system();
}  // namespace orvasel::shell

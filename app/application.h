#pragma once
// The application object and the start-up sequence.
#include <QApplication>

namespace orvasel {

// Shows an error raised inside a handler in the standard error box; the message loop goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Start-up up to the shown main window: the working folder moved from the program's own folder to
// the user's, the main-window state, Form1 (whose creation lists the stored bookmark's folder, or
// else the working folder), then Form2 and Form3, hidden.
void CreateWindows();
// Ends the run: the three windows are destroyed and the main-window state released.
void DestroyWindows();

// The windows' whole life inside an existing application object: start-up, the message loop until
// the main window has closed, the windows destroyed; the exit code, 0.
int RunWindows();
// The whole run: the application object, then RunWindows.
int Run(int argc, char** argv);

}  // namespace orvasel

#pragma once
// A fixture that starts the program's windows for real, offscreen, in temporary folders, with the
// user's answers scripted and the shell recorded.
#include "forms/about/TForm2.h"
#include "forms/bookmark/TForm3.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "support/doubles.h"

#include <QKeySequence>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace orvasel::testing {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program as the user would (settings file, if any, already written).
    void start();
    // Ends the run as the program does, without a close request.
    void stop();
    // Asks the main window to close, as the user would; true when it closed.
    bool requestClose();

    // The folder text of a folder: its path followed by the separator.
    static QString folderText(const QString& path);
    QString makeFolder(const QString& relative);  // inside the work folder; returns its path
    void writeFile(const QString& path, const std::string& bytes);
    static std::string readFile(const QString& path);
    static bool exists(const QString& path);

    // Moves the folder list there, as a double click on it would.
    void openFolder(const QString& path);
    // Clicks the project with this name in the project list.
    void selectProject(const QString& name);
    void click(QWidget* widget);
    void typeInNote(const QString& text);
    // Runs an entry of the control's own context menu (paste, cut, undo...), as a click would.
    static void triggerMenuAction(QPlainTextEdit* control, QKeySequence::StandardKey action);
    static void triggerMenuAction(QLineEdit* control, QKeySequence::StandardKey action);
    // Drags a text onto the control and drops it there, as the mouse would.
    static void dropText(QWidget* target, const QString& text);

    QString settingsPath() const;
    // The title the window system receives for a shown window (see the definition).
    static QString shownTitle(const QWidget* window);

    QTemporaryDir programDir;  // where the program is "installed"
    QTemporaryDir workDir;     // the user's folders
    QTemporaryDir dataDir;     // the user's data folder, where the drafts are kept
    ScriptedPrompts prompts;
    RecordingShell shell;
};

}  // namespace orvasel::testing

#pragma once
// The main window's state: values of the main window's unit that live for the whole run.
#include <QString>
#include <optional>
#include <string>

extern QString CurrentFolder;       // folder listed last; empty or ending with the separator
extern QString CurrentProjectPath;  // the selected project file
extern QString CurrentInfoPath;     // CurrentProjectPath followed by ".info"
extern bool ProjectLoaded;          // set by the first project selection, never cleared
extern QString NotesSnapshot;       // the note editor's text when it last gained the focus
extern int ExportFieldArmed;        // > 0 when a change of the exported-audio field is the user's
extern QString CubasePath;          // "rien" or empty while Cubase is not located
extern QString AudioPlayerPath;     // empty while no player is designated

// Beyond those: the information file's bytes as the editor last loaded or saved them, which a save
// compares the file with so that it never replaces unseen what someone else wrote meanwhile;
// nothing while the editor holds no note that may be saved.
extern std::optional<std::string> InfoFileAsShown;

// Gives every value its starting value, before any window exists.
void InitialiseMainWindowState();

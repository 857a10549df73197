#include "forms/main/state.h"

QString CurrentFolder;
QString CurrentProjectPath;
QString CurrentInfoPath;
bool ProjectLoaded = false;
QString NotesSnapshot;
int ExportFieldArmed = 0;
QString CubasePath;
QString AudioPlayerPath;
std::optional<std::string> InfoFileAsShown;

void InitialiseMainWindowState()
{
    CurrentFolder.clear();
    CurrentProjectPath.clear();
    CurrentInfoPath.clear();
    ProjectLoaded = false;
    NotesSnapshot.clear();
    ExportFieldArmed = 0;
    CubasePath.clear();
    AudioPlayerPath.clear();
    InfoFileAsShown.reset();
}

#pragma once
// The way from a search result back to the main window: its folder opened as the user would open
// it in the folder list, then the project selected as a click on it would.
#include <QString>

class QWidget;
class TForm1;

namespace orvasel {

// True when the project is selected. Refused, with a message shown over owner, while the main
// window holds an unsaved note or waits for a bookmark name: nothing changes then.
bool showProjectInMainWindow(TForm1& form, const QString& folderText, const QString& project, QWidget* owner);

}  // namespace orvasel

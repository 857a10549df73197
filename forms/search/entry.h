#pragma once
// The way into the search from the main window: Ctrl+F opens "Rechercher dans les notes",
// F3 runs the last search again.
class TForm1;

namespace orvasel {

void InstallSearchShortcuts(TForm1* form);

}  // namespace orvasel

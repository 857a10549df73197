#pragma once
// The user's audio player: designated once, then started through the shell with an audio file.
// The main window's "Play" and the search window's "Écouter l'export" both go through here.
#include <QString>

class QWidget;

namespace orvasel {

class OpenDialog;

namespace player {

// While no player is designated (playerPath empty), asks whether to designate one now and, on Yes,
// lets the user pick it in the dialog; then starts the player with the audio file as one argument,
// in the file's folder. While none is designated nothing starts, and the next time asks again.
// The boxes, the dialog and the start belong to owner.
void play(QWidget* owner, OpenDialog& dialog, QString& playerPath, const QString& audioPath);

}  // namespace player
}  // namespace orvasel

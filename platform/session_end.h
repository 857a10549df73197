#pragma once
// The end of the user's session (log off, shutdown, a restart for updates), as the window system
// tells it. While a note is unsaved, Windows names the program and why on its shutdown screen, so
// that the user can go back and save it.
#include <QString>

class QWidget;

namespace orvasel::session_end {

// Asks the system to hold a shutdown for this reason while it lasts (Windows); nothing elsewhere.
void blockShutdown(QWidget* window, const QString& reason);
void allowShutdown(QWidget* window);
// The reason the system holds a shutdown for (on Windows, as the system tells it), or nothing.
QString blockedFor(QWidget* window);

}  // namespace orvasel::session_end

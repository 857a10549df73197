#pragma once
// Drives: the drive letters on Windows ("C:"), and the network shares the user went to
// ("\\serveur\partage"); the mounted volumes elsewhere ("/", "/media/usb").
#include <QString>
#include <QStringList>

namespace orvasel::drives {

// Every drive the system offers, in order (elsewhere the root volume first).
QStringList available();

// The drive that holds a folder (the share of a network folder, the longest mount point that
// contains it elsewhere).
QString driveOf(const QString& folder);

// The root folder of a drive, with its separator: "C:\", "\\serveur\partage\" or "/media/usb/".
QString rootOf(const QString& drive);

}  // namespace orvasel::drives

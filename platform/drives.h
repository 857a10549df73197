#pragma once
// Drives: the drive letters on Windows ("C:"), the mounted volumes elsewhere ("/", "/media/usb").
#include <QString>
#include <QStringList>

namespace orvasel::drives {

// Every drive the system offers, in order (elsewhere the root volume first).
QStringList available();

// The drive that holds a folder (the longest mount point that contains it).
QString driveOf(const QString& folder);

// The root folder of a drive, with its separator: "C:\" or "/media/usb/".
QString rootOf(const QString& drive);

}  // namespace orvasel::drives

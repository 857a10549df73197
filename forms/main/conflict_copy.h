#pragma once
// The copy of a note's other version, kept beside the information file when a save meets a change
// made elsewhere, named the way synchronisation tools name the versions they keep:
// "<project>.cpr.info.conflit-<date-heure>".
#include <QString>
#include <string>

struct ConflictCopy {
    QString name;     // the copy's file name, when it was written
    QString failure;  // why it was not, in French
};

// Never replaces a file; the copy and its folder are on the disk when it returns. A project name
// too long for the file system's name limit loses its end in the copy's name ("…~.cpr.info.conflit-…").
ConflictCopy keepConflictCopy(const QString& infoPath, const std::string& bytes);

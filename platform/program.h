#pragma once
// Where the program lives: the folder of the running executable, ending with the separator.
#include <QString>

namespace orvasel::program {

QString programFolder();

// Lets a test run the program as if it were installed in another folder (empty: the real one).
void overrideProgramFolder(const QString& folder);

}  // namespace orvasel::program

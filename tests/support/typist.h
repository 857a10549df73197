#pragma once
// A user typing a note in the real program, in a process of its own that a test kills without
// warning: it opens the folder, selects the project and types one word after another. Each word
// is logged once its draft holds it, so that the test knows what the draft must give back.
//   --type <program folder> <data folder> <project folder> <project> <log file>
namespace orvasel::testing {

int typeUntilKilled(int argc, char** argv);

}  // namespace orvasel::testing

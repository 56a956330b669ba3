#pragma once

#include <optional>

namespace zelkar::modMain {

// Answers --help and --version, and refuses an option the program does not
// know, before any window, display connection or store is touched. Returns the
// exit status when the program is to end; nothing when the command line (a
// backup file, its " -I", Qt's own options) is the window's.
std::optional<int> AnswerProgramOptions(int argc, const char* const* argv);

}  // namespace zelkar::modMain

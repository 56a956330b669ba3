#pragma once

#include <QStringList>

#include <cstdio>
#include <optional>

namespace zelkar::tools {

// How a keyword verb of zelkar-open ended; the tool maps it to its exit status.
enum class VerbOutcome {
  Done,
  BadUsage,   // missing or surplus words, an empty name or target
  NoKeyword,  // --remove or --rename of a keyword that does not exist
  Exists,     // the new name is taken and --force was not given
  Unreadable, // the store cannot be read: no rights, damaged
  Busy,       // another program kept the store locked past the busy timeout
  ReadOnly,   // the store may not be written
  DiskFull,   // no room left on the disk
  Failed,     // another fault of the store
};

// Carries out `--add NAME TARGET [--force]`, `--remove NAME` or
// `--rename OLD NEW [--force]` on the store of the environment, with the
// window's name rule: the characters a keyword may not hold become "_" and
// ".exe" is appended. Messages go to `err`, the outcome to `out`. Nothing when
// the first argument is none of these verbs.
std::optional<VerbOutcome> RunKeywordVerb(const QStringList& args, FILE* out, FILE* err);

// The help lines of the verbs, for zelkar-open --help.
extern const char* const kKeywordVerbsHelp;

}  // namespace zelkar::tools

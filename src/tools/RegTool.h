#pragma once

#include <QStringList>

#include <cstdio>

namespace zelkar::regtool {

// Carries out one zelkar-reg command line (the arguments after the program's
// name) on the store of the environment, writing its listing to `out` and its
// messages to `err`. Returns the exit status.
int Run(const QStringList& args, FILE* out, FILE* err);

}  // namespace zelkar::regtool

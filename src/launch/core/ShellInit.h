#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zelkar::launch {

// The shells zelkar-open has a start-up snippet for: bash, zsh, fish.
QStringList ShellInitShells();

// The lines that make `shell` try an unknown command as a keyword before it
// gives up (through `program` --command-not-found, keeping the shell's own
// "command not found" message and status 127 when there is no such keyword,
// and any not-found handler defined before), and complete keyword names after
// "zelkar-open" from `program` --complete. `program` is the absolute path of
// zelkar-open, so the hook never runs into itself when the tool is gone.
// Nothing for a shell not in ShellInitShells().
// A `keywordFolder` given is put at the end of PATH, once.
std::optional<QString> ShellInitSnippet(const QString& shell, const QString& program,
                                        const QString& keywordFolder = QString());

// The completion part of the snippet alone, for the shells' own completion
// folders: keyword names after "zelkar-open ", from `program` --complete.
std::optional<QString> ShellCompletion(const QString& shell, const QString& program);

}  // namespace zelkar::launch

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zelkar::launch {

// Splits a typed command into its words the way a POSIX shell splits them,
// without any shell: blanks and tabs separate words; a backslash quotes the
// next character; single quotes quote everything up to the next one; double
// quotes quote everything but a backslash before $ ` " \ or a newline; "~" or
// "~/" at the start of a word stands for the home folder.
//
// Nothing is ever run or expanded beyond that: a command that only a shell
// could carry out as written gives nothing, so that it is never half-run. That
// is an operator (; & | < > ( )), an unquoted newline, "$" or "`" outside
// single quotes, a pattern (* ? [), a comment (# at the start of a word),
// "~name", an unclosed quote or a trailing backslash.
std::optional<QStringList> SplitCommand(const QString& command);

}  // namespace zelkar::launch

#pragma once

#include <QByteArray>
#include <QString>

// Files the program writes for the desktop at every start, in folders other
// programs may have prepared: nothing is ever written through what is already
// at the path, and modes never depend on the umask.
namespace zelkar::files {

// Replaces `path` by a new file holding `content` with exactly `mode`,
// renamed into place: a symbolic link at the path is replaced, never followed;
// a file linked there (a hard link) keeps its content and mode. Missing
// folders are made by MakeFolders. False when anything failed; the path then
// holds what it held before.
bool ReplaceFile(const QString& path, const QByteArray& content, unsigned mode = 0644);

// Makes `folder` and its missing parents, each created with exactly `mode`.
// Folders that exist keep theirs. True when the folder exists afterwards.
bool MakeFolders(const QString& folder, unsigned mode = 0755);

// True when `path` is a regular file (not a link) with exactly `mode`.
bool IsPlainFile(const QString& path, unsigned mode = 0644);

}  // namespace zelkar::files

#pragma once

#include <QByteArray>
#include <QString>

namespace zelkar {

// The most a file the user names is read for: a backup file, and an internet
// shortcut. Anything larger is no such file.
constexpr qint64 kBackupFileLimit = qint64(64) * 1024 * 1024;
constexpr qint64 kShortcutFileLimit = qint64(64) * 1024;

struct UserFile {
  enum Status { Read, Missing, NotRegular, TooLarge, Unreadable };
  Status status = Missing;
  QByteArray bytes;  // the whole file when Read
  QString problem;   // otherwise why not, as the system words it: "Not a regular file", ...
  bool ok() const { return status == Read; }
};

// Reads a file that the user named or dropped: only a regular file (a link to
// one counts), and only up to `limit` bytes. Never waits for a pipe or device to
// open or to give data, and never reads more than the limit.
UserFile ReadUserFile(const QString& path, qint64 limit);
// What ReadUserFile would say of the file from its kind and size alone, before
// anything is read (status Read: it may be read).
UserFile ExamineUserFile(const QString& path, qint64 limit);

}  // namespace zelkar

#include "store/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::files {
namespace {

bool WriteAll(int fd, const QByteArray& content) {
  const char* data = content.constData();
  qsizetype left = content.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, std::size_t(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

}  // namespace

bool MakeFolders(const QString& folder, unsigned mode) {
  const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  if (QFileInfo(clean).isDir()) return true;
  const QString parent = QFileInfo(clean).path();
  if (parent != clean && !MakeFolders(parent, mode)) return false;
  const QByteArray name = QFile::encodeName(clean);
  if (::mkdir(name.constData(), mode) != 0) return errno == EEXIST && QFileInfo(clean).isDir();
  // mkdir took the umask off the mode.
  return ::chmod(name.constData(), mode) == 0;
}

bool ReplaceFile(const QString& path, const QByteArray& content, unsigned mode) {
  const QFileInfo info(path);
  if (!MakeFolders(info.path())) return false;
  QByteArray temporary = QFile::encodeName(QDir(info.path()).filePath(QLatin1Char('.') + info.fileName())) +
                         QByteArrayLiteral(".XXXXXX");
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  // rename() replaces the name at the path, whatever it is, and follows nothing.
  ok = ok && ::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0;
  if (!ok) ::unlink(temporary.constData());
  return ok;
}

bool IsPlainFile(const QString& path, unsigned mode) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
         (st.st_mode & 07777) == mode;
}

}  // namespace zelkar::files

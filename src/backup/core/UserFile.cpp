#include "backup/core/UserFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar {
namespace {

UserFile Failed(UserFile::Status status, const QString& problem) {
  UserFile file;
  file.status = status;
  file.problem = problem;
  return file;
}

UserFile SystemFailure(int error) {
  return Failed(error == ENOENT || error == ENOTDIR ? UserFile::Missing : UserFile::Unreadable,
                qt_error_string(error));
}

UserFile TooLarge(qint64 limit) {
  const QString size = limit >= 1024 * 1024 ? QStringLiteral("%1 MiB").arg(limit / (1024 * 1024))
                                            : QStringLiteral("%1 KB").arg(limit / 1024);
  return Failed(UserFile::TooLarge, QStringLiteral("File too large (more than %1)").arg(size));
}

UserFile NotRegular() { return Failed(UserFile::NotRegular, QStringLiteral("Not a regular file")); }

// Closes the descriptor when the read ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

UserFile ExamineUserFile(const QString& path, qint64 limit) {
  const QByteArray local = QFile::encodeName(path);
  struct stat info {};
  if (local.isEmpty() || ::stat(local.constData(), &info) != 0) return SystemFailure(local.isEmpty() ? ENOENT : errno);
  if (!S_ISREG(info.st_mode)) return NotRegular();
  if (info.st_size > limit) return TooLarge(limit);
  UserFile fits;
  fits.status = UserFile::Read;
  return fits;
}

UserFile ReadUserFile(const QString& path, qint64 limit) {
  // A pipe, a device or a socket is not even opened when the name shows it;
  // opening without waiting and looking at what was opened covers a swap.
  if (UserFile examined = ExamineUserFile(path, limit); !examined.ok()) return examined;
  const QByteArray local = QFile::encodeName(path);
  struct stat info {};
  const Descriptor file{::open(local.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) return SystemFailure(errno);
  if (::fstat(file.fd, &info) != 0) return SystemFailure(errno);
  if (!S_ISREG(info.st_mode)) return NotRegular();
  if (info.st_size > limit) return TooLarge(limit);

  UserFile read;
  read.status = UserFile::Read;
  // One byte past the limit tells a file that grew while it was read.
  read.bytes.resize(qsizetype(info.st_size) + 1);
  qsizetype done = 0;
  for (;;) {
    if (done == read.bytes.size()) {
      if (done > limit) return TooLarge(limit);
      read.bytes.resize(qsizetype(qMin<qint64>(limit + 1, qint64(done) * 2 + 4096)));
    }
    const ssize_t n = ::read(file.fd, read.bytes.data() + done, std::size_t(read.bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure(errno);
    if (n == 0) break;
    done += n;
  }
  if (done > limit) return TooLarge(limit);
  read.bytes.truncate(done);
  return read;
}

}  // namespace zelkar

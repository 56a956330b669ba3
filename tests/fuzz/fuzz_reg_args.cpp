// zelkar-reg command lines: any arguments, carried out on a fresh store of the
// run's own. The tool answers with one of its exit codes, and a string it
// added reads back as given.
#include "FuzzSupport.h"

#include "store/RegistryStore.h"
#include "tools/ExitCodes.h"
#include "tools/RegTool.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace zelkar;

namespace {

// A stream that collects what is written to it.
class Capture {
 public:
  Capture() : stream_(open_memstream(&buffer_, &size_)) {
    if (!stream_) std::abort();
  }
  ~Capture() {
    if (stream_) std::fclose(stream_);
    std::free(buffer_);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  FILE* stream() const { return stream_; }
  QByteArray text() {
    std::fflush(stream_);
    return QByteArray(buffer_, static_cast<qsizetype>(size_));
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  FILE* stream_;
};

int Run(const QStringList& args, QByteArray* out = nullptr) {
  Capture listing;
  Capture messages;
  const int code = regtool::Run(args, listing.stream(), messages.stream());
  if (out) *out = listing.text();
  return code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QDir registry(fuzz::FilePath(QStringLiteral("registry")));
  for (const QString& file : registry.entryList(QDir::Files)) QFile::remove(registry.filePath(file));

  QStringList args;
  for (const QByteArray& part : fuzz::Bytes(data, size).split('\0')) args.append(QString::fromUtf8(part));
  const int code = Run(args);
  namespace exitcode = tools::exitcode;
  ZELKAR_FUZZ_CHECK((code >= exitcode::Success && code <= exitcode::DiskFull) || code == exitcode::BadUsage);

  // A string value added is there with what was given.
  if (code == 0 && args.size() == 6 && args[0] == QLatin1String("add") && args[2] == QLatin1String("--value") &&
      args[4] == QLatin1String("--data")) {
    QByteArray shown;
    ZELKAR_FUZZ_CHECK(Run({QStringLiteral("query"), args[1], QStringLiteral("--value"), args[3]}, &shown) == 0);
    ZELKAR_FUZZ_CHECK(shown == args[5].toUtf8() + '\n');
  }
  return 0;
}

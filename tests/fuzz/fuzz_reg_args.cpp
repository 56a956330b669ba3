// zelkar-reg command lines: any arguments, carried out on a fresh store of the
// run's own. The tool answers with one of its exit codes, and a string it
// added reads back as given.
#include "FuzzSupport.h"

#include "tools/ExitCodes.h"
#include "tools/RegTool.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace zelkar;

namespace {

// Runs the tool; what it lists goes to `out`, its messages nowhere.
int Run(const QStringList& args, QByteArray* out = nullptr) {
  char* buffer = nullptr;
  std::size_t size = 0;
  int code = 0;
  {
    const std::unique_ptr<FILE, int (*)(FILE*)> listing(open_memstream(&buffer, &size), &std::fclose);
    const std::unique_ptr<FILE, int (*)(FILE*)> messages(std::fopen("/dev/null", "w"), &std::fclose);
    fuzz::Check(listing && messages, "streams for the tool");
    code = regtool::Run(args, listing.get(), messages.get());
  }
  const std::unique_ptr<char, void (*)(void*)> written(buffer, &std::free);
  if (out) *out = QByteArray(buffer, static_cast<qsizetype>(size));
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

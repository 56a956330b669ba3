// Runs a fuzz target once over each file named on the command line (folders:
// every file in them), for builds without libFuzzer: the corpus and the inputs
// of past crashes stay tests of every build.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  QStringList files;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QFile::decodeName(argv[i]);
    if (QFileInfo(arg).isDir()) {
      QStringList inside;
      QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) inside.append(it.next());
      inside.sort();
      files += inside;
    } else {
      files.append(arg);
    }
  }
  for (const QString& name : files) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
      return 1;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
  }
  std::printf("%lld inputs ran\n", static_cast<long long>(files.size()));
  return files.isEmpty() ? 1 : 0;
}

// Runs a fuzz target once over each file named on the command line (a folder:
// each file in it), for builds without libFuzzer: the corpus and the inputs of
// past crashes stay tests of every build.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int ran = 0;
  for (int i = 1; i < argc; ++i) {
    const QFileInfo arg(QFile::decodeName(argv[i]));
    const QFileInfoList files = arg.isDir() ? QDir(arg.filePath()).entryInfoList(QDir::Files, QDir::Name) : QFileInfoList{arg};
    for (const QFileInfo& info : files) {
      QFile file(info.filePath());
      if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
        return 1;
      }
      const QByteArray bytes = file.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
      ++ran;
    }
  }
  std::printf("%d inputs ran\n", ran);
  return ran == 0 ? 1 : 0;
}

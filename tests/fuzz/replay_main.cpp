// Runs a fuzz target once over each file named on the command line, for
// builds without libFuzzer: the corpus and the inputs of past crashes stay
// tests of every build.
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    QFile file(QFile::decodeName(argv[i]));
    if (!file.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
  }
  std::printf("%d inputs ran\n", argc - 1);
  return argc > 1 ? 0 : 1;
}

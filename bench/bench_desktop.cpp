#include "app/Pictures.h"
#include "app/core/DesktopIntegration.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace zelkar;

// The user's data folder of one benchmark run.
class DataHome {
 public:
  DataHome() : previous_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("share"))));
    Pictures::ProgramIcon();  // the icon comes from the resources, as in the program
  }
  ~DataHome() { previous_.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", previous_); }
  DataHome(const DataHome&) = delete;
  DataHome& operator=(const DataHome&) = delete;

 private:
  QTemporaryDir dir_;
  QByteArray previous_;
};

// Every start but the first: all files fresh, caches up to date.
void BM_DesktopIntegrationFresh(benchmark::State& state) {
  const DataHome home;
  const QString exe = QStringLiteral("/usr/bin/zelkar");
  desktop::Integrate(exe, desktop::Refresh::Wait);
  for (auto _ : state) benchmark::DoNotOptimize(desktop::Integrate(exe));
}
BENCHMARK(BM_DesktopIntegrationFresh)->Unit(benchmark::kMicrosecond);

// A start after the program moved: the entry is rewritten and the menu's cache
// program is started without waiting for it.
void BM_DesktopIntegrationMoved(benchmark::State& state) {
  const DataHome home;
  desktop::Integrate(QStringLiteral("/usr/bin/zelkar"), desktop::Refresh::Wait);
  int run = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(desktop::Integrate(QStringLiteral("/opt/zelkar-%1/zelkar").arg(++run % 2)));
}
BENCHMARK(BM_DesktopIntegrationMoved)->Unit(benchmark::kMicrosecond)->Iterations(30);

}  // namespace

// Start of the program to its first idle moment, beside a trivial Qt window's
// start and the same with the floor of a tree load. bench/start_time.sh runs it.
//   zelkar_start_probe make N FOLDER   a store of N keywords with real files in FOLDER
//   zelkar_start_probe zelkar|trivial|floor
// The last three print the microseconds from $ZELKAR_PROBE_T0 (nanoseconds of
// the real-time clock when the run was started) to the first time the event
// loop has nothing to do, and end there.
#include "FloorLoad.h"

#include "app/modMain.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

void PrintElapsedAndEnd() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const long long t0 = qEnvironmentVariable("ZELKAR_PROBE_T0").toLongLong();
  const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  std::printf("%lld\n", (ns - t0) / 1000);
  std::fflush(stdout);
  std::_Exit(0);
}

// Once the event loop runs, its first wait for input ends the run.
void EndAtFirstIdle() {
  QTimer::singleShot(0, [] {
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &PrintElapsedAndEnd);
  });
}

int Make(int count, const QString& folder) {
  using namespace zelkar;
  const QString files = folder + QStringLiteral("/files");
  QDir().mkpath(files);
  store::RegistryStore::useLocation(store::StoreLocation::inDirectory(folder + QStringLiteral("/registry")));
  store::RegistryStore& store = store::RegistryStore::current();
  store::RegistryStore::Transaction group(store, store::Hive::LocalMachine);
  static const char* const kinds[] = {"txt", "png", "pdf", "html", "sh", "odt", "zip", "mp3", "c", ""};
  for (int i = 0; i < count; ++i) {
    const QString suffix = QString::fromLatin1(kinds[i % 10]);
    const QString file = files + QStringLiteral("/File %1").arg(i) + (suffix.isEmpty() ? QString() : "." + suffix);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return 1;
    out.write(suffix.isEmpty() || suffix == QLatin1String("sh") ? "#!/bin/sh\nexit 0\n" : "content\n");
    if (suffix.isEmpty() || suffix == QLatin1String("sh"))
      out.setPermissions(out.permissions() | QFileDevice::ExeOwner);
    store.writeValue(store::Hive::LocalMachine, kAppPathsKey + QStringLiteral("Keyword%1.exe").arg(i), QString(),
                     store::Value::fromString(file));
  }
  return group.commit() ? 0 : 1;
}

int Window(int argc, char** argv, bool load) {
  QApplication app(argc, argv);
  EndAtFirstIdle();
  QMainWindow window;
  QTreeWidget* tree = FloorWindow(window);
  if (load) {
    FloorLoad floor(qEnvironmentVariable("ZELKAR_REGISTRY") + QStringLiteral("/machine.sqlite"));
    floor.Load(*tree);
  }
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (mode == QLatin1String("make") && argc == 4) return Make(std::atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
  if (mode == QLatin1String("trivial") || mode == QLatin1String("floor")) return Window(1, argv, mode == "floor");
  if (mode == QLatin1String("zelkar")) {
    // The program itself, without the probe's argument.
    qAddPreRoutine(&EndAtFirstIdle);
    int one = 1;
    return zelkar::modMain::Main(one, argv);
  }
  std::fputs("usage: zelkar_start_probe make N FOLDER | zelkar | trivial | floor\n", stderr);
  return 64;
}

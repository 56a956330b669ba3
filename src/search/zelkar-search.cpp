// zelkar-search: the keyword search that KRunner and GNOME Shell ask over the
// session bus. Started by the bus on demand.
#include "launch/core/DetachedLaunchBackend.h"
#include "search/SearchService.h"
#include "store/RegistryStore.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QString>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
  const QString option = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
    std::fputs("Usage: zelkar-search [--help | --version]\n"
               "Zelkar's keywords for KRunner and GNOME Shell's search, a service on the\n"
               "session bus that the bus starts on demand (see zelkar-open --desktop on).\n",
               stdout);
    return 0;
  }
  if (option == QLatin1String("--version")) {
    std::printf("zelkar-search %d.%d\n", ZELKAR_VERSION_MAJOR, ZELKAR_VERSION_MINOR);
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "zelkar-search: unknown option %s\nUsage: zelkar-search [--help | --version]\n", argv[1]);
    return 64;
  }
  QCoreApplication app(argc, argv);
  // Only read: every query reads the store afresh through one connection.
  zelkar::store::StoreLocation location = zelkar::store::StoreLocation::fromEnvironment();
  location.readOnly = true;
  zelkar::store::RegistryStore::useLocation(location);

  zelkar::launch::DetachedLaunchBackend backend;
  zelkar::search::SearchService service(backend);
  if (!service.registerOn(QDBusConnection::sessionBus())) {
    std::fprintf(stderr, "zelkar-search: cannot take its name on the session bus: %s\n",
                 qPrintable(QDBusConnection::sessionBus().lastError().message()));
    return 1;
  }
  // The bus does not stop what it started when it goes away (a session's end,
  // dbus-run-session's return): the service goes with it.
  QTimer busGone;
  QObject::connect(&busGone, &QTimer::timeout, &app, [] {
    if (!QDBusConnection::sessionBus().isConnected()) QCoreApplication::quit();
  });
  busGone.start(1000);
  return app.exec();
}

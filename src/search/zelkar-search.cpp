// zelkar-search: the keyword search that KRunner and GNOME Shell ask over the
// session bus. Started by the bus on demand.
#include "launch/core/DetachedLaunchBackend.h"
#include "search/SearchService.h"
#include "store/RegistryStore.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>

int main(int argc, char** argv) {
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
  return app.exec();
}

#pragma once

#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QByteArray>
#include <QTemporaryDir>

// A store of its own in a temporary directory for one benchmark run.
class BenchStore {
 public:
  BenchStore() {
    previous_ = qgetenv("ZELKAR_REGISTRY");
    qputenv("ZELKAR_REGISTRY", QFile::encodeName(dir_.filePath(QStringLiteral("registry"))));
    zelkar::store::RegistryStore::resetCurrent();
  }
  ~BenchStore() {
    zelkar::store::RegistryStore::resetCurrent();
    if (previous_.isNull())
      qunsetenv("ZELKAR_REGISTRY");
    else
      qputenv("ZELKAR_REGISTRY", previous_);
  }
  BenchStore(const BenchStore&) = delete;
  BenchStore& operator=(const BenchStore&) = delete;
  QString path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
  QByteArray previous_;
};

// `count` keywords "kw00000.exe", ... in one transaction, each target `target`
// with its "%1" replaced by the keyword's number.
inline void MakeBenchKeywords(int count, const QString& target) {
  using zelkar::store::Hive;
  zelkar::store::RegistryStore& store = zelkar::store::RegistryStore::current();
  zelkar::store::RegistryStore::Transaction group(store, Hive::LocalMachine);
  for (int i = 0; i < count; ++i)
    store.writeValue(Hive::LocalMachine,
                     zelkar::kAppPathsKey + QStringLiteral("kw%1.exe").arg(i, 5, 10, QLatin1Char('0')), QString(),
                     zelkar::store::Value::fromString(target.arg(i)));
  group.commit();
}

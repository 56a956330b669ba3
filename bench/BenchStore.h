#pragma once

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

#include "FuzzSupport.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace zelkar::fuzz {
namespace {

struct RunFolder {
  QTemporaryDir temp;
  RunFolder() {
    Check(temp.isValid(), "a temporary folder");
    qputenv("ZELKAR_REGISTRY", QFile::encodeName(temp.filePath("registry")));
    qputenv("HOME", QFile::encodeName(temp.filePath("home")));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "ZELKAR_MACHINE_HIVE"}) qunsetenv(name);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    store::RegistryStore::resetCurrent();
  }
  // The store closes before its folder goes: closed later, it would make the folder again.
  ~RunFolder() { store::RegistryStore::resetCurrent(); }
};

store::RegistryStore& Store() { return store::RegistryStore::current(); }

}  // namespace

QString FilePath(const QString& name) {
  static const RunFolder folder;
  return folder.temp.filePath(name);
}

QString WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(FilePath(name));
  Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(), "input written");
  return file.fileName();
}

frmMain& Window() {
  FilePath(QString());
  static int argc = 1;
  static char* argv[] = {const_cast<char*>("zelkar-fuzz"), nullptr};
  // Never destroyed: a run ends in exit(), and Qt cannot take an application
  // apart once the exit handlers have begun; the process's end frees it.
  [[maybe_unused]] static QApplication* const app = new QApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zelkar"));
  static const std::unique_ptr<frmMain> form = std::make_unique<frmMain>();
  return *form;
}


QStringList MachineKeys() {
  QStringList keys;
  const auto add = [&keys](const auto& self, const QString& path) -> void {
    const auto value = Store().readValue(store::Hive::LocalMachine, path, QString());
    keys << path + u'=' + (value ? QString::number(value->type) + u':' + value->data.toHex() : QString());
    for (const QString& name : Store().subkeys(store::Hive::LocalMachine, path))
      self(self, path.isEmpty() ? name : path + u'\\' + name);
  };
  add(add, QString());
  return keys;
}

void ResetKeywords(const std::map<QString, QString>& entries) {
  store::RegistryStore::Transaction group(Store(), store::Hive::LocalMachine);
  const auto remove = [](const auto& self, const QString& path) -> void {
    for (const QString& child : Store().subkeys(store::Hive::LocalMachine, path)) self(self, path + u'\\' + child);
    Store().deleteKey(store::Hive::LocalMachine, path);
  };
  remove(remove, AppPaths());
  for (const auto& [name, target] : entries)
    Store().writeValue(store::Hive::LocalMachine, AppPaths() + u'\\' + name, QString(), store::Value::fromString(target));
  group.commit();
}

}  // namespace zelkar::fuzz

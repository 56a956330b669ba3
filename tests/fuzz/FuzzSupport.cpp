#include "FuzzSupport.h"

#include "app/frmMain.h"
#include "store/RegistryStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zelkar::fuzz {
namespace {

struct RunFolder {
  QTemporaryDir temp;
  QString path;
  RunFolder() : path(temp.path()) {
    if (!temp.isValid()) {
      std::fprintf(stderr, "fuzz: no temporary folder\n");
      std::abort();
    }
    QDir(path).mkpath(QStringLiteral("home/.local/share"));
    QDir(path).mkpath(QStringLiteral("home/.cache"));
    QDir(path).mkpath(QStringLiteral("home/.config"));
    const auto set = [this](const char* name, const QString& relative) {
      qputenv(name, QFile::encodeName(QDir(path).filePath(relative)));
    };
    set("ZELKAR_REGISTRY", QStringLiteral("registry"));
    set("HOME", QStringLiteral("home"));
    set("XDG_DATA_HOME", QStringLiteral("home/.local/share"));
    set("XDG_CACHE_HOME", QStringLiteral("home/.cache"));
    set("XDG_CONFIG_HOME", QStringLiteral("home/.config"));
    qunsetenv("ZELKAR_MACHINE_HIVE");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    store::RegistryStore::resetCurrent();
  }
  // The store closes before its folder goes: closed later, it would make the folder again.
  ~RunFolder() { store::RegistryStore::resetCurrent(); }
};

}  // namespace

const QString& Folder() {
  static const RunFolder folder;
  return folder.path;
}

QString FilePath(const QString& name) { return QDir(Folder()).filePath(name); }

QString WriteFile(const QString& name, const QByteArray& bytes) {
  const QString path = FilePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
    std::abort();
  }
  return path;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> SplitInput(const QByteArray& input, int count) {
  QList<QByteArray> parts;
  qsizetype from = 0;
  for (int i = 0; i + 1 < count; ++i) {
    const qsizetype nul = from <= input.size() ? input.indexOf('\0', from) : -1;
    if (nul < 0) {
      parts.append(input.mid(from));
      from = input.size() + 1;
    } else {
      parts.append(input.mid(from, nul - from));
      from = nul + 1;
    }
  }
  parts.append(from <= input.size() ? input.mid(from) : QByteArray());
  return parts;
}

void EnsureApplication() {
  Folder();
  static int argc = 1;
  static char name[] = "zelkar-fuzz";
  static char* argv[] = {name, nullptr};
  // Never destroyed: a run ends in exit(), and Qt cannot take an application
  // apart once the exit handlers have begun; the process's end frees it.
  static QApplication* const app = new QApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zelkar"));
  (void)app;
}

frmMain& Window() {
  EnsureApplication();
  static const std::unique_ptr<frmMain> form = std::make_unique<frmMain>();
  return *form;
}

int AnsweringDialogs::messageBox(const QString&, int style, const QString& title) {
  ++boxes;
  titles.append(title);
  const int buttons = style & 7;
  return buttons == mb::YesNo || buttons == mb::YesNoCancel ? answer::Yes : answer::OK;
}

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
  std::abort();
}

}  // namespace zelkar::fuzz

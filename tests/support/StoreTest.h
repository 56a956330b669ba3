#pragma once

#include "store/RegistryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelkar::test {

// Every test on a store of its own: a temporary directory that holds the store
// (and stands in for the home, data and cache folders), made the process's
// store for the test's lifetime.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary directory; files of the test may go here too.
  QString dir() const { return temp_.path(); }
  QString path(const QString& name) const { return temp_.filePath(name); }
  store::RegistryStore& store() { return store::RegistryStore::current(); }

  // The shared sample files.
  static QString testdata(const QString& relative);

  // A file of the test, its folders made as needed.
  QString MakeFile(const QString& name, const QByteArray& content = "x") {
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    WriteFile(path(name), content);
    return path(name);
  }
  static QByteArray ReadFile(const QString& file);
  static void WriteFile(const QString& file, const QByteArray& content);

 private:
  QTemporaryDir temp_;
  QByteArray savedEnv_[6];
};

// Makes a folder the current one for the scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const QString& folder) : previous_(QDir::currentPath()) { QDir::setCurrent(folder); }
  ~CurrentFolder() { QDir::setCurrent(previous_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  QString previous_;
};

// What a program of the build said and how it ended (code -1: killed or hung).
struct Ran {
  int code = -1;
  QString out;
  QString err;
};

// Runs a program with the environment in `folder` (empty: the test's own) and
// waits for it.
Ran RunProgram(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
               const QString& folder = QString());

// Runs zelkar-reg with the arguments against the test's store; returns the exit
// code and fills out/err.
int RunZelkarReg(const QStringList& args, QString* out = nullptr, QString* err = nullptr);

// Starts the real program and waits until its window answers on the socket;
// false when it never did. Its PATH is `folder` alone, so that no cache
// program it starts detached writes into a test's folder after the test.
bool StartRunningProgram(QProcess& program, const QString& socketName, const QString& folder);

}  // namespace zelkar::test

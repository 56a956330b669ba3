#pragma once

#include "support/RecordingLaunchBackend.h"
#include "launch/modShellExe.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace zelkar::test {

using launch::LaunchRequest;
using launch::RecordingLaunchBackend;

// Launches over the test's store; what would be started is recorded.
class LaunchTest : public StoreTest {
 protected:
  static void Put(const QString& kw, const QString& target) {
    modRegEdit::RegWriteValue(kAppPathsFull + kw + QStringLiteral("\\"), target, 0);
  }
  static bool Has(const QString& kw) {
    return modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + kw);
  }
  QString MakeFile(const QString& name, const QByteArray& content = "x") {
    QFile file(path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(name);
    file.write(content);
    return path(name);
  }
  QString MakeScript(const QString& name, const QByteArray& body = "exit 0\n") {
    const QString file = MakeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
    return file;
  }
  static QString FileUrl(const QString& file) { return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded); }
  static std::int32_t Run(const QString& text, bool showErrors = false) {
    return modShellExe::ExecuteFile(text, showErrors, 10, QString(), QString(), QStringLiteral("open"), 0);
  }
  // What one successful launch of `text` asked for: "open <address>" or
  // "start <program> <arguments...>"; "none" or "several" otherwise.
  std::string Launch(const QString& text) {
    backend.clear();
    const std::int32_t result = Run(text);
    return (result > 32 ? "" : "failed ") + Recorded();
  }
  std::string Recorded() const {
    if (backend.requests().size() != 1) return backend.requests().empty() ? "none" : "several";
    const LaunchRequest& r = backend.requests().front();
    if (r.kind == LaunchRequest::Open) return "open " + r.urlText().toStdString();
    return ("start " + (QStringList{r.program} + r.arguments).join(QLatin1Char('|'))).toStdString();
  }
  static std::string Open(const QString& file) { return "open " + FileUrl(file).toStdString(); }
  static std::string Start(const QString& program) { return "start " + program.toStdString(); }

  RecordingLaunchBackend backend;
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

}  // namespace zelkar::test

#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "edit/EditTest.h"
#include "launch/LaunchTest.h"

namespace zelkar::test {

// A text that would leave a mark in the test's folder if any shell ever saw it.
struct Hostile {
  QString marker;  // the file a shell would create
  QStringList texts;
};

// A main window over the test's store whose launches are recorded, and
// programs of the test's own that write down how they were started.
class SecurityTest : public EditTest {
 protected:
  QString MakeScript(const QString& name, const QByteArray& body) {
    const QString file = MakeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
    return file;
  }
  // Writes its own path and its arguments, each ended by a zero byte, to "<itself>.argv".
  QString MakeRecorder(const QString& name) {
    return MakeScript(name, "printf '%s\\0' \"$0\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.argv\"\n");
  }
  // What the recorder was last started with (and forgets it); nothing when it did not run in time.
  static QStringList ArgsOf(const QString& recorder, int waitMs = 10000) {
    QFile file(recorder + QStringLiteral(".argv"));
    const QDeadlineTimer deadline(waitMs);
    while (!file.exists() && !deadline.hasExpired()) QThread::msleep(20);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList words = QString::fromUtf8(file.readAll()).split(QChar(u'\0'));
    words.removeLast();
    file.remove();
    return words;
  }
  // Texts holding every construct a shell would act on; any shell that saw
  // one would create the file `marker`. None starts with a program's name.
  Hostile HostileTexts() const {
    const QString m = path(QStringLiteral("pwned"));
    const QChar nul(u'\0');
    return {m,
            {"$(touch " + m + ")", "`touch " + m + "`", ";touch " + m, "zk-none; touch " + m, "zk-none | touch " + m,
             "zk-none & touch " + m, "zk-none && touch " + m, "zk-none\ntouch " + m, "zk-none\rtouch " + m,
             "\"$(touch " + m + ")\"", "zk-none > " + m, QStringLiteral("sh") + nul + " -c 'touch " + m + "'",
             QStringLiteral("/bin/sh") + nul + ";touch " + m, nul + QStringLiteral("/bin/sh"), "-c touch " + m,
             "--help", QString(100000, u'x'), "zk-none '$(touch " + m + ")'" + QString(100000, u' ') + "x"}};
  }
  static std::int32_t Run(const QString& text) {
    return modShellExe::ExecuteFile(text, false, 10, QString(), QString(), QStringLiteral("open"), 0);
  }
  static QString FileUrl(const QString& file) { return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded); }
  // Every request recorded, one per line: "open <address>" or "start <program>|<arguments...>".
  static std::string Requests(const RecordingLaunchBackend& b) {
    std::string all;
    for (const LaunchRequest& r : b.requests())
      all += (r.kind == LaunchRequest::Open ? "open " + r.urlText()
                                            : "start " + (QStringList{r.program} + r.arguments).join(u'|'))
                 .toStdString() +
             "\n";
    return all;
  }

  RecordingLaunchBackend backend;
};

// Runs a program of the build in `folder` and waits for it.
inline Ran RunIn(const QString& folder, const QString& program, const QStringList& args) {
  return RunProgram(program, args, QProcessEnvironment::systemEnvironment(), folder);
}

}  // namespace zelkar::test

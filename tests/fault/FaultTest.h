#pragma once

#include "backup/core/modINI.h"
#include "backup/test_load_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <ostream>

// Keyword lists read as text in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace zelkar::test {

// Work done in a process of its own: the test program started again to run one
// test, told by ZELKAR_FAULT_CHILD that it is that test's child. Such a test
// does nothing in an ordinary run.
inline constexpr const char* kChildVariable = "ZELKAR_FAULT_CHILD";
inline constexpr const char* kReadyLine = "zelkar-child-ready";
inline constexpr const char* kDoneLine = "zelkar-child-done";

inline bool IsChild(const char* test) { return qgetenv(kChildVariable) == test; }

// Tells the parent that the work to be cut short begins, or ended, now.
inline void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

class ChildProcess {
 public:
  // Starts the test (Suite.Name) with the process's environment plus `extra`;
  // the child finds this process's store in ZELKAR_FAULT_REGISTRY.
  explicit ChildProcess(const char* test, const QStringList& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QString::fromLatin1(test));
    env.insert(QStringLiteral("ZELKAR_FAULT_REGISTRY"), qEnvironmentVariable("ZELKAR_REGISTRY"));
    for (const QString& pair : extra) env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QStringLiteral("/proc/self/exe"),
                   {QStringLiteral("--gtest_filter=") + QString::fromLatin1(test)});
  }
  ~ChildProcess() {
    if (process_.state() != QProcess::NotRunning) kill();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits for the line; false when the child ended or took too long.
  bool waitFor(const char* line, int ms = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!output_.contains(line)) {
      if (timer.elapsed() > ms || !process_.waitForReadyRead(int(ms - timer.elapsed()))) return false;
      output_ += process_.readAll();
    }
    return true;
  }
  void kill() {
    process_.kill();
    process_.waitForFinished(30000);
  }
  // The exit code once the child ended (-1 when killed or hung).
  int finish(int ms = 120000) {
    if (!process_.waitForFinished(ms)) kill();
    output_ += process_.readAll();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
  }
  bool skipped() const { return output_.contains("[  SKIPPED ] 1 test"); }
  bool passed() const { return output_.contains("[  PASSED  ] 1 test"); }
  QString output() const { return QString::fromUtf8(output_); }

 private:
  QProcess process_;
  QByteArray output_;
};

// Runs the work to its end in a child; skips when the child skipped.
#define EXPECT_CHILD_PASSES(test, ...)                                  \
  do {                                                                  \
    ChildProcess child(test, ##__VA_ARGS__);                            \
    const int code = child.finish();                                    \
    if (child.skipped()) GTEST_SKIP() << child.output().toStdString();  \
    EXPECT_EQ(code, 0) << child.output().toStdString();                 \
    EXPECT_TRUE(child.passed()) << child.output().toStdString();        \
  } while (false)

class FaultTest : public BackupTest {
 protected:
  // A current-format backup file with `count` entries keyword<i>.exe -> target<i>.
  QString Backup(const QString& name, int count, const QString& prefix, const QString& targetBase) {
    QByteArray text = "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n";
    for (int i = 1; i <= count; ++i) text += (QString::number(i) + '=' + prefix + QString::number(i) + ".exe\r\n").toUtf8();
    text += "[Targets]\r\n";
    for (int i = 1; i <= count; ++i) text += (QString::number(i) + '=' + targetBase + '/' + QString::number(i) + "\r\n").toUtf8();
    text += QStringLiteral("[Count]\r\nKeywords=%1\r\n").arg(count).toUtf8();
    return Write(name, text);
  }
  static Keywords Entries(int count, const QString& prefix, const QString& targetBase) {
    Keywords all;
    for (int i = 1; i <= count; ++i) all[prefix + QString::number(i) + ".exe"] = targetBase + '/' + QString::number(i);
    return all;
  }
  // In a child: the parent's store.
  static void UseParentStore() {
    qputenv("ZELKAR_REGISTRY", qgetenv("ZELKAR_FAULT_REGISTRY"));
    store::RegistryStore::resetCurrent();
  }
  static void PutAll(const Keywords& entries) {
    store::RegistryStore::Transaction group(store::RegistryStore::current(), store::Hive::LocalMachine);
    for (const auto& [kw, target] : entries) Put(kw, target);
    group.commit();
  }
  // The keywords as a fresh opening of the store finds them on disk.
  static Keywords OnDisk() {
    store::RegistryStore::useLocation(store::StoreLocation::fromEnvironment());
    Keywords all = Registered();
    store::RegistryStore::useLocation(store::StoreLocation::fromEnvironment());
    return all;
  }
  static Keywords ReadEntriesOf(const QString& file) {
    Keywords entries;
    const int count = modINI::ReadINI("Count", "Keywords", file).toInt();
    for (int i = 1; i <= count; ++i)
      entries[modINI::ReadINI("Keywords", QString::number(i), file)] = modINI::ReadINI("Targets", QString::number(i), file);
    return entries;
  }
  // Every name in a folder, hidden ones too.
  QStringList FilesIn(const QString& folder) const {
    return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                        QDir::Name);
  }
  // The entries of the tree, keyword node text -> target node text.
  static Keywords Tree(const frmMain& form) {
    Keywords shown;
    for (int i = 2; i + 1 <= form.tvw->Count(); i += 2) shown[form.tvw->Text(i)] = form.tvw->Text(i + 1);
    return shown;
  }
};

}  // namespace zelkar::test

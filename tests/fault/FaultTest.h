#pragma once

#include "support/BackupTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <ostream>

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
  // In a child: the parent's store.
  static void UseParentStore() {
    qputenv("ZELKAR_REGISTRY", qgetenv("ZELKAR_FAULT_REGISTRY"));
    store::RegistryStore::resetCurrent();
  }
};

}  // namespace zelkar::test

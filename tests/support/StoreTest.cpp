#include "support/StoreTest.h"

#include "app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

namespace zelkar::test {
namespace {
// TMPDIR too: what the test or the programs it starts put in the temporary
// folder goes inside the test's own folder and goes with it, even from a
// child that was killed.
const char* const kEnvNames[6] = {"ZELKAR_REGISTRY", "ZELKAR_MACHINE_HIVE", "HOME", "XDG_DATA_HOME",
                                   "XDG_CACHE_HOME", "TMPDIR"};
}

void StoreTest::SetUp() {
  ASSERT_TRUE(temp_.isValid());
  for (int i = 0; i < 6; ++i) savedEnv_[i] = qgetenv(kEnvNames[i]);
  qputenv("ZELKAR_REGISTRY", QFile::encodeName(temp_.filePath(QStringLiteral("registry"))));
  qunsetenv("ZELKAR_MACHINE_HIVE");
  QDir(temp_.path()).mkpath(QStringLiteral("home"));
  qputenv("HOME", QFile::encodeName(temp_.filePath(QStringLiteral("home"))));
  qputenv("XDG_DATA_HOME", QFile::encodeName(temp_.filePath(QStringLiteral("home/.local/share"))));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(temp_.filePath(QStringLiteral("home/.cache"))));
  QDir(temp_.path()).mkpath(QStringLiteral("tmp"));
  qputenv("TMPDIR", QFile::encodeName(temp_.filePath(QStringLiteral("tmp"))));
  store::RegistryStore::resetCurrent();
}

void StoreTest::TearDown() {
  store::RegistryStore::resetCurrent();
  for (int i = 0; i < 6; ++i) {
    if (savedEnv_[i].isNull())
      qunsetenv(kEnvNames[i]);
    else
      qputenv(kEnvNames[i], savedEnv_[i]);
  }
}

QString StoreTest::testdata(const QString& relative) {
  const QByteArray env = qgetenv("ZELKAR_TESTDATA");
  const QString base = env.isEmpty() ? QStringLiteral(ZELKAR_TESTDATA_DIR) : QString::fromLocal8Bit(env);
  return QDir(base).filePath(relative);
}

QByteArray StoreTest::ReadFile(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void StoreTest::WriteFile(const QString& file, const QByteArray& content) {
  QFile f(file);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(file);
  f.write(content);
}

Ran RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env,
               const QString& folder) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(folder);
  process.start(program, args);
  Ran ran;
  if (!process.waitForFinished(30000)) {
    process.kill();
    process.waitForFinished();
    return ran;
  }
  ran.out = QString::fromUtf8(process.readAllStandardOutput());
  ran.err = QString::fromUtf8(process.readAllStandardError());
  if (process.exitStatus() == QProcess::NormalExit) ran.code = process.exitCode();
  return ran;
}

int RunZelkarReg(const QStringList& args, QString* out, QString* err) {
  const Ran ran = RunProgram(QStringLiteral(ZELKAR_REG_BINARY), args);
  if (out) *out = ran.out;
  if (err) *err = ran.err;
  return ran.code;
}

bool StartRunningProgram(QProcess& program, const QString& socketName, const QString& folder) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("PATH"), folder);
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(ZELKAR_BINARY), {});
  if (!program.waitForStarted()) return false;
  // Until its window exists the program refuses; ask again until it is up.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 30000 && program.state() == QProcess::Running) {
    if (SingleInstance(socketName).requestActivation(2000)) return true;
    program.waitForFinished(50);
  }
  return false;
}

}  // namespace zelkar::test

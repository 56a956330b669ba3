// The tools from a terminal: help, version, keyword verbs, quiet launches.
#include "support/WindowTest.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

namespace zelkar::test {
namespace {

class TerminalTest : public WindowTest {};

Ran RunOpen(const QStringList& args) { return RunProgram(QStringLiteral(ZELKAR_OPEN_BINARY), args); }

TEST_F(TerminalTest, ToolsAnswerHelpAndVersionWithoutWindowOrStore) {
  // No display at all, and a store folder that must not come into being.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
  env.insert(QStringLiteral("ZELKAR_REGISTRY"), path(QStringLiteral("untouched")));
  const struct {
    const char* program;
    const char* arg;
    int code;
    const char* out;  // what stdout begins with
    const char* err;  // what stderr holds
  } rows[] = {
      {ZELKAR_BINARY, "--help", 0, "Usage: zelkar ", ""},
      {ZELKAR_BINARY, "--version", 0, "zelkar 1.", ""},
      {ZELKAR_BINARY, "--helps", 64, "", "zelkar: unknown option --helps\nUsage: zelkar "},
      {ZELKAR_BINARY, "-x", 64, "", "Usage: zelkar "},
      {ZELKAR_REG_BINARY, "--help", 0, "Usage:\n  zelkar-reg query", ""},
      {ZELKAR_REG_BINARY, "--version", 0, "zelkar-reg 1.", ""},
      {ZELKAR_OPEN_BINARY, "--help", 0, "Usage: zelkar-open ", ""},
      {ZELKAR_OPEN_BINARY, "--version", 0, "zelkar-open 1.", ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.program) + " " + r.arg);
    const Ran ran = RunProgram(QString::fromLatin1(r.program), {QString::fromLatin1(r.arg)}, env);
    EXPECT_EQ(ran.code, r.code) << qPrintable(ran.err);
    EXPECT_EQ(ran.out.left(qstrlen(r.out)), QString::fromLatin1(r.out));
    if (*r.err) {
      EXPECT_TRUE(ran.err.contains(QString::fromLatin1(r.err))) << qPrintable(ran.err);
    } else {
      EXPECT_EQ(ran.err, QString());
    }
  }
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("untouched"))));
}

TEST_F(TerminalTest, KeywordVerbsFollowTheWindowsNameRule) {
  const QString tool = MakeScript(QStringLiteral("tool.sh"));
  const struct {
    QStringList args;
    int code;
    const char* said;  // stdout, or stderr when the verb fails
    QStringList present, absent;
  } rows[] = {
      {{"--add", "ed", tool}, 0, "registered 'ed' for", {"ed.exe"}, {}},
      {{"--add", "ED", "/bin/true"}, 1, "already registered", {"ed.exe"}, {}},
      {{"--add", "my prog|x", tool}, 0, "the keyword is 'my_prog_x'", {"my_prog_x.exe"}, {}},
      {{"--add", "Note.EXE", "https://orbrin.example"}, 0, "registered 'Note'", {"Note.EXE"}, {}},
      {{"--rename", "ed", "my_prog_x"}, 1, "already registered", {"ed.exe", "my_prog_x.exe"}, {}},
      {{"--rename", "ed", "edit"}, 0, "renamed 'ed' to 'edit'", {"edit.exe"}, {"ed.exe"}},
      {{"--rename", "edit", "my_prog_x", "--force"}, 0, "renamed", {"my_prog_x.exe"}, {"edit.exe"}},
      {{"--remove", "nosuch"}, 2, "no keyword 'nosuch'", {}, {}},
      {{"--remove", "NOTE"}, 0, "removed 'Note'", {}, {"Note.exe"}},
      {{"--add", "x"}, 64, "usage: --add NAME TARGET", {}, {"x.exe"}},
      {{"--remove", "x", "--force"}, 64, "usage: --remove NAME", {}, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.args.join(u' ').toStdString());
    const Ran ran = RunOpen(r.args);
    EXPECT_EQ(ran.code, r.code) << qPrintable(ran.err);
    EXPECT_TRUE((r.code == 0 ? ran.out : ran.err).contains(QString::fromUtf8(r.said)))
        << qPrintable(ran.out) << qPrintable(ran.err);
    for (const QString& kw : r.present) EXPECT_TRUE(Has(kw)) << qPrintable(kw);
    for (const QString& kw : r.absent) EXPECT_FALSE(Has(kw)) << qPrintable(kw);
  }
  // A name is never written twice, and the renamed entry keeps its target.
  EXPECT_EQ(modRegEdit::RegReadValue(kAppPathsFull + QStringLiteral("my_prog_x.exe\\")), tool);
  EXPECT_EQ(modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey),
            QStringList{QStringLiteral("my_prog_x.exe")});
  EXPECT_EQ(RunOpen({QStringLiteral("--complete"), QStringLiteral("MY")}).out, QStringLiteral("my_prog_x\n"));
}

TEST_F(TerminalTest, StartedProgramNeverWritesIntoTheTerminal) {
  const QString done = path(QStringLiteral("done"));
  const QString talker = MakeScript(QStringLiteral("talker.sh"),
                                    "echo out-line; echo err-line >&2; touch '" + done.toUtf8() + "'\n");
  Put(QStringLiteral("talk.exe"), talker);
  // The terminal is a file here, so that what arrives late is seen too.
  const QString terminal = path(QStringLiteral("terminal"));
  const Ran ran = RunProgram(QStringLiteral("/bin/sh"),
                             {QStringLiteral("-c"), QStringLiteral("\"$0\" talk > \"$1\" 2>&1"),
                              QStringLiteral(ZELKAR_OPEN_BINARY), terminal});
  ASSERT_EQ(ran.code, 0) << qPrintable(ran.err);
  const QDeadlineTimer deadline(10000);
  while (!QFile::exists(done) && !deadline.hasExpired()) QThread::msleep(20);
  ASSERT_TRUE(QFile::exists(done));
  QFile said(terminal);
  ASSERT_TRUE(said.open(QIODevice::ReadOnly));
  EXPECT_EQ(said.readAll(), QByteArray());
}

}  // namespace
}  // namespace zelkar::test

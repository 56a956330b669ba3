#include "LaunchTest.h"

#include "launch/core/CommandWords.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

namespace zelkar::test {
namespace {

using launch::SplitCommand;

class CommandsTest : public LaunchTest {};

TEST_F(CommandsTest, CommandsSplitIntoWordsAsAShellSplitsThem) {
  using Words = std::optional<QStringList>;
  EXPECT_EQ(SplitCommand(QStringLiteral("  a\t 'b c'  \"d \\\" \\$ \\x\" f\\ g '' ")),
            Words({"a", "b c", "d \" $ \\x", "f g", ""}));
  EXPECT_EQ(SplitCommand(QStringLiteral("'it''s' a\\\nb '$(id);|&`*' a#b")), Words({"its", "ab", "$(id);|&`*", "a#b"}));
  EXPECT_EQ(SplitCommand(QStringLiteral("~ ~/x a~")), Words({QDir::homePath(), QDir::homePath() + "/x", "a~"}));
  // What only a shell could carry out is refused as a whole.
  for (const char* command : {"a; b", "a && b", "a | b", "a > f", "(a)", "a $HOME", "a \"$HOME\"", "a `id`", "a\nb",
                              "a *.txt", "a #note", "a ~root", "a 'open", "a \"open", "a \\"})
    EXPECT_FALSE(SplitCommand(QString::fromLatin1(command)).has_value()) << command;
}

TEST_F(CommandsTest, ATypedCommandStartsItsProgramWithItsArguments) {
  const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
  EXPECT_EQ(Launch(QStringLiteral("sh -c 'exit 3' \"two words\"")), Start(sh + "|-c|exit 3|two words"));
  const QString script = MakeScript(QStringLiteral("my tool.sh"));
  Put(QStringLiteral("tool.exe"), script);
  EXPECT_EQ(Launch(QStringLiteral("tool -v")), Start(script + "|-v"));
  EXPECT_EQ(Launch("'" + script + "' -v"), Start(script + "|-v"));
  const QString document = MakeFile(QStringLiteral("my notes.txt"));
  EXPECT_EQ(Launch("\"" + document + "\""), Open(document));
  // Only programs take arguments.
  EXPECT_EQ(Launch("'" + document + "' more"), "failed none");
  EXPECT_EQ(Run(QStringLiteral("no-such-program-zk arg")), 2);
  EXPECT_EQ(Run(path(QStringLiteral("nowhere/x")) + " arg"), 3);

  // Parameters are words for the program; what needs a shell stays one argument.
  backend.clear();
  const auto open = QStringLiteral("open");
  modShellExe::ExecuteFile(script, false, 10, QStringLiteral("-a 'b c'"), dir(), open, 0);
  EXPECT_EQ(Recorded(), Start(script + "|-a|b c"));
  EXPECT_EQ(backend.requests().at(0).workingDirectory, dir());
  backend.clear();
  modShellExe::ExecuteFile(script, false, 10, QStringLiteral("x;y $z"), QString(), open, 0);
  EXPECT_EQ(Recorded(), Start(script + "|x;y $z"));
}

TEST_F(CommandsTest, ShellCharactersAndDashesAreNeverInterpreted) {
  const QString marker = path(QStringLiteral("pwned"));
  for (const QString& text :
       {"; touch " + marker, "sh; touch " + marker, "sh -c x && touch " + marker, "sh | touch " + marker,
        "sh $(touch " + marker + ")", "sh `touch " + marker + "`", "sh\ntouch " + marker,
        "sh \"$(touch " + marker + ")\""})
    EXPECT_EQ(Launch(text), "failed none") << qPrintable(text);

  // Such names reach the desktop or exec as one absolute path.
  const QString odd = MakeFile(QStringLiteral("a;b $(touch x) `id` | & 'q\".txt"));
  Put(QStringLiteral("odd.exe"), odd);
  const QString dash = MakeFile(QStringLiteral("-x"));
  const QString dashScript = MakeScript(QStringLiteral("--help me;now"));
  EXPECT_EQ(Launch(odd), Open(odd));
  EXPECT_EQ(Launch(QStringLiteral("odd")), Open(odd));
  EXPECT_EQ(Launch(dash), Open(dash));
  EXPECT_EQ(Launch(dashScript), Start(dashScript));
}

// The content of a file the started program writes, once it is complete.
QByteArray AwaitFile(const QString& file) {
  for (const QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(20)) {
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) return f.readAll();
  }
  return QByteArray();
}

TEST_F(CommandsTest, ARealProgramStartsWithExactlyItsArguments) {
  const launch::LaunchBackend::Scope desktop(modShellExe::DesktopBackend());  // not the recording one
  const QByteArray out = path(QStringLiteral("out.txt")).toUtf8();
  const QString script = MakeScript(QStringLiteral("say $(x) it.sh"),
                                    "{ printf '<'; for a in \"$@\"; do printf '[%s]' \"$a\"; done; printf '>'; } > '" + out +
                                        ".t'; mv '" + out + ".t' '" + out + "'\n");
  ScriptedDialogs dialogs;
  EXPECT_EQ(Run(script, true), 42);
  EXPECT_EQ(AwaitFile(out), QByteArray("<>"));
  QFile::remove(out);
  EXPECT_EQ(Run("'" + script + "' 'a b' ';touch x' -n", true), 42);
  EXPECT_EQ(AwaitFile(out), QByteArray("<[a b][;touch x][-n]>"));
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("x"))));
}

}  // namespace
}  // namespace zelkar::test

// Text typed, stored or given on a command line is launched as exactly what it
// names, never through a shell and never as an option of another program.
#include <QStandardPaths>

#include "SecurityTest.h"
#include "app/Controls.h"
#include "list/TreeView.h"

namespace zelkar::test {
namespace {

using LaunchTextTest = SecurityTest;

TEST_F(LaunchTextTest, ShellTextInTheRunBoxOrATargetStartsNothing) {
  const Hostile hostile = HostileTexts();
  CurrentFolder here(dir());
  for (qsizetype i = 0; i < hostile.texts.size(); ++i) {
    const QString& text = hostile.texts[i];
    const QString keyword = "t" + QString::number(i);
    Put(keyword + ".exe", text);
    backend.clear();
    EXPECT_LE(Run(text), 32) << qPrintable(text.left(60));
    EXPECT_EQ(Requests(backend), "") << qPrintable(text.left(60));
    // A stored text ends at its first zero character (as the store reads
    // strings); what follows it never becomes an argument.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const QString stored = nul < 0 ? text : text.left(nul);
    std::string expected;
    if (nul > 0)
      expected =
          "start " + (stored.startsWith(u'/') ? stored : QStandardPaths::findExecutable(stored)).toStdString() + "\n";
    Run(keyword);
    EXPECT_EQ(Requests(backend), expected) << qPrintable(text.left(60));
  }
  backend.clear();

  // The Run box itself, as the user types and runs.
  auto f = Window();
  ScriptedDialogs dialogs;
  for (const QString& text : hostile.texts) {
    if (text.contains(QChar(u'\0'))) continue;  // a line edit keeps no zero characters
    f->txtExe->setText(text);
    dialogs.expectBoxTitled(QStringLiteral("Error"), answer::OK);
    f->cmdRunTxt_Click();
  }
  EXPECT_EQ(Requests(backend), "");
  EXPECT_FALSE(QFileInfo::exists(hostile.marker));
}

TEST_F(LaunchTextTest, HostileKeywordNamesStartOnlyTheirTargetByItsPath) {
  const QString script = MakeScript(QStringLiteral("--rf;$(touch pwned)`id`&.sh"), "exit 0\n");
  const QString document = MakeFile(QStringLiteral("-o x;$(touch pwned)|`id`&\n.txt"));
  const QStringList names = {QStringLiteral("$(touch${IFS}pwned)"),
                             QStringLiteral("`touch${IFS}pwned`"),
                             QStringLiteral(";touch${IFS}pwned"),
                             QStringLiteral("&touch${IFS}pwned"),
                             QStringLiteral("a\ntouch${IFS}pwned"),
                             QStringLiteral("-rf"),
                             QStringLiteral("--help"),
                             QString(100000, u'k')};
  CurrentFolder here(dir());
  for (const QString& name : names) {
    Put(name + ".exe", script);
    Put(name + "doc.exe", document);
    backend.clear();
    EXPECT_GT(Run(name), 32) << qPrintable(name.left(40));
    EXPECT_EQ(Requests(backend), "start " + script.toStdString() + "\n") << qPrintable(name.left(40));
    backend.clear();
    EXPECT_GT(Run(name + "doc"), 32) << qPrintable(name.left(40));
    // A document goes to the desktop as a file:// address only, never as a bare name.
    EXPECT_EQ(Requests(backend), "open " + FileUrl(document).toStdString() + "\n");
    EXPECT_TRUE(FileUrl(document).startsWith(QLatin1String("file:///")));
  }

  // Run from the tree, as the user clicks it.
  auto f = Window();
  ScriptedDialogs dialogs;
  backend.clear();
  const int node = Node(*f, QStringLiteral("-rf.exe"));
  ASSERT_NE(node, 0);
  f->tvw->Select(node);
  f->cmdRun_Click();
  f->tvw->Select(node + 1);
  f->cmdRun_Click();
  EXPECT_EQ(Requests(backend), "start " + script.toStdString() + "\nstart " + script.toStdString() + "\n");
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("pwned"))));
}

TEST_F(LaunchTextTest, TheProgramsCommandLineStartsNothing) {
  modRegEdit::RegWriteValue(QStringLiteral("HKEY_CLASSES_ROOT\\.zkb\\"), QStringLiteral("Zelkar.File"), 0);
  modRegEdit::RegWriteValue(QStringLiteral("HKEY_CLASSES_ROOT\\Zelkar.File\\"), QStringLiteral("Zelkar Backup File"),
                            0);
  // A real backup under a hostile name whose targets are programs and addresses.
  const QString backup = MakeFile(QStringLiteral("x;$(touch pwned)`id`&.zkb"),
                                  "[Zelkar]\nVersion=18\n[Keywords]\n1=sh.exe\n2=js.exe\n3=cmd.exe\n"
                                  "[Targets]\n1=/bin/sh\n2=javascript:alert(1)\n3=sh -c 'touch pwned'\n"
                                  "[Count]\nKeywords=3\n");
  const Hostile hostile = HostileTexts();
  CurrentFolder here(dir());
  ScriptedDialogs dialogs;
  for (const QString& line : hostile.texts + QStringList{"$(touch pwned).zkb -I", "-I", backup + "; touch pwned"}) {
    if (line.endsWith(QLatin1String(" -I")))
      dialogs.expectBox(QStringLiteral("Import?"), QString(), answer::No);
    else if (line == QLatin1String("-I"))
      dialogs.expectOpen(std::nullopt);  // the import dialog, as from a dock
    else
      dialogs.expectBoxTitled(QStringLiteral("Zelkar"), answer::OK);
    frmMain(line).DoCommandLine();
  }
  dialogs.expectBoxTitled("Load '" + backup + "'?", answer::Yes);
  frmMain(backup).DoCommandLine();
  EXPECT_EQ(TargetOf(QStringLiteral("sh.exe")), QStringLiteral("/bin/sh"));  // loaded, not run
  EXPECT_EQ(Requests(backend), "");
  EXPECT_FALSE(QFileInfo::exists(hostile.marker));
}

}  // namespace
}  // namespace zelkar::test

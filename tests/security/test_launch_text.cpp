// Text typed, stored or given on a command line is launched as exactly what it
// names, never through a shell and never as an option of another program.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "launch/core/DetachedLaunchBackend.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using LaunchTextTest = WindowTest;

TEST_F(LaunchTextTest, ShellTextStartsNothingWhereverItIsGiven) {
  const QString m = path("pwned");  // any shell that saw one of these would create it
  const QChar nul(u'\0');
  const QStringList texts = {"$(touch " + m + ")", "`touch " + m + "`", ";touch " + m, "zk-none; touch " + m,
                             "zk-none | touch " + m, "zk-none & touch " + m, "zk-none && touch " + m,
                             "zk-none\ntouch " + m, "zk-none\rtouch " + m, "\"$(touch " + m + ")\"", "zk-none > " + m,
                             "sh; touch " + m, "sh -c x && touch " + m, "sh | touch " + m, "sh $(touch " + m + ")",
                             "sh `touch " + m + "`", "sh\ntouch " + m, "sh \"$(touch " + m + ")\"", "sh \"`touch " + m + "`\"",
                             "sh" + QString(nul) + " -c 'touch " + m + "'", "/bin/sh" + QString(nul) + ";touch " + m,
                             nul + QStringLiteral("/bin/sh"), "-c touch " + m, "--help", QString(100000, u'x'),
                             "zk-none '$(touch " + m + ")'" + QString(100000, u' ') + "x"};
  CurrentFolder here(dir());
  auto f = Window();
  ScriptedDialogs dialogs;
  for (qsizetype i = 0; i < texts.size(); ++i) {
    const QString& text = texts[i];
    SCOPED_TRACE(text.left(60).toStdString());
    backend.clear();
    EXPECT_LE(Run(text), 32);  // typed or given as a target
    // Stored as a keyword's target, a text ends at its first zero character
    // (as the store reads strings); what follows never becomes an argument.
    Put("t" + QString::number(i) + ".exe", text);
    Run("t" + QString::number(i));
    const QString stored = text.left(text.indexOf(nul));
    const bool cut = text.contains(nul) && !stored.isEmpty();
    EXPECT_EQ(Recorded(), cut ? Start(stored.startsWith(u'/') ? stored : QStandardPaths::findExecutable(stored)) : "none");
    backend.clear();
    if (!text.contains(nul)) {  // a line edit keeps no zero characters
      f->txtExe->setText(text);
      dialogs.expectBoxTitled("Error", answer::OK);
      f->cmdRunTxt_Click();
    }
    dialogs.expectBoxTitled("Zelkar", answer::OK);  // the program's command line
    frmMain(text).DoCommandLine();
    EXPECT_EQ(Recorded(), "none");
  }
  EXPECT_FALSE(QFileInfo::exists(m));
}

TEST_F(LaunchTextTest, OddNamesReachTheLauncherOnlyAsAbsolutePaths) {
  const QString script = MakeScript("--rf;$(touch pwned)`id`&.sh");
  const QString document = MakeFile("-o x;$(touch pwned)|`id`&\n.txt");
  const QString odd = MakeFile("a;b $(touch x) `id` | & 'q\".txt");
  const QString dash = MakeFile("-x");
  const QString dashScript = MakeScript("--help me;now");
  CurrentFolder here(dir());
  QStringList names = {"$(touch${IFS}pwned)", "`touch${IFS}pwned`", ";touch${IFS}pwned", "&touch${IFS}pwned",
                       "a\ntouch${IFS}pwned", "-rf", "--help"};
  for (const QString& keyword : names << QString(100000, u'k')) {
    SCOPED_TRACE(keyword.left(40).toStdString());
    Put(keyword + ".exe", script);
    Put(keyword + "doc.exe", document);
    EXPECT_EQ(Launch(keyword), Start(script));
    EXPECT_EQ(Launch(keyword + "doc"), Open(document));  // as a file:// address, never a bare name
  }
  Put("odd.exe", odd);
  const std::pair<QString, std::string> byPath[] = {{odd, Open(odd)},
                                                    {"odd", Open(odd)},
                                                    {dash, Open(dash)},
                                                    {dashScript, Start(dashScript)}};
  for (const auto& [text, recorded] : byPath) EXPECT_EQ(Launch(text), recorded) << text.toStdString();
  EXPECT_TRUE(Open(document).starts_with("open file:///"));

  // Run from the tree, keyword and target node, as the user clicks them.
  auto f = Window();
  ScriptedDialogs dialogs;
  backend.clear();
  const int node = Node(*f, "-rf.exe");
  ASSERT_NE(node, 0);
  for (const int n : {node, node + 1}) {
    f->tvw->Select(n);
    f->cmdRun_Click();
  }
  EXPECT_EQ(Recorded(), Start(script) + "\n" + Start(script));
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

TEST_F(LaunchTextTest, ABackupOnTheCommandLineIsLoadedNeverRun) {
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\.zkb\\", "Zelkar.File", 0);
  modRegEdit::RegWriteValue("HKEY_CLASSES_ROOT\\Zelkar.File\\", "Zelkar Backup File", 0);
  // A real backup under a hostile name whose targets are programs and addresses.
  const QString backup = MakeFile("x;$(touch pwned)`id`&.zkb",
                                  "[Zelkar]\nVersion=18\n[Keywords]\n1=sh.exe\n2=js.exe\n3=cmd.exe\n"
                                  "[Targets]\n1=/bin/sh\n2=javascript:alert(1)\n3=sh -c 'touch pwned'\n"
                                  "[Count]\nKeywords=3\n");
  CurrentFolder here(dir());
  ScriptedDialogs dialogs;
  dialogs.expectBox("Import?", QString(), answer::No);
  frmMain("$(touch pwned).zkb -I").DoCommandLine();
  dialogs.expectOpen(std::nullopt);  // a lone -I: the import dialog, as from a dock
  frmMain("-I").DoCommandLine();
  dialogs.expectBoxTitled("Zelkar", answer::OK);
  frmMain(backup + "; touch pwned").DoCommandLine();
  dialogs.expectBoxTitled("Load '" + backup + "'?", answer::Yes);
  frmMain(backup).DoCommandLine();
  EXPECT_EQ(TargetOf("sh.exe"), "/bin/sh");
  EXPECT_EQ(Recorded(), "none");
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

// Real processes: what a started program receives, and that no shell ever ran.
TEST_F(LaunchTextTest, RealProgramsReceiveEachWordAsOneArgument) {
  const struct PathScope {
    QByteArray saved = qgetenv("PATH");
    ~PathScope() { qputenv("PATH", saved); }
  } pathScope;
  ASSERT_TRUE(QDir().mkpath(path("bin")));
  const QString opener = MakeRecorder("bin/xdg-open");  // the desktop's opener
  qputenv("PATH", QFile::encodeName(path("bin")) + ':' + pathScope.saved);
  launch::DetachedLaunchBackend real;
  const launch::LaunchBackend::Scope scope(real);
  const QString pwned = path("pwned");
  CurrentFolder here(dir());  // where a relative "touch pwned" would land
  const QString recorder = MakeRecorder("-rec;$(touch pwned) `touch pwned`.sh");
  const QString document = MakeFile("-x;$(touch pwned)|`touch pwned`&.txt");
  Put("-rf.exe", recorder);
  Put("$(touch${IFS}pwned).exe", document);
  auto f = Window();
  ScriptedDialogs dialogs;

  const QStringList words = {"$(touch " + pwned + ")", ";touch " + pwned, "`touch " + pwned + "`",
                             "| touch " + pwned, "&& touch " + pwned, "-rf", "--", "a b", ""};
  QString typed = "'" + recorder + "'";
  for (const QString& w : words) typed += " '" + w + "'";
  f->txtExe->setText(typed);
  f->cmdRunTxt_Click();
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder} + words);
  EXPECT_EQ(Run(recorder, true), 42);
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});
  f->tvw->Select(Node(*f, "-rf.exe"));
  f->cmdRun_Click();
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});

  // A document reaches the opener as one file:// address, never as a name that could pass for an option.
  f->tvw->Select(Node(*f, "$(touch${ifs}pwned).exe"));
  f->cmdRun_Click();
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));
  f->txtExe->setText(document);
  f->cmdRunTxt_Click();
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));

  // Text that only a shell could carry out starts nothing at all.
  for (const QString& text : {"$(touch " + pwned + ")", "'" + recorder + "' ; touch " + pwned,
                              "'" + recorder + "' $(touch " + pwned + ")"}) {
    f->txtExe->setText(text);
    dialogs.expectBoxTitled("Error", answer::OK);
    f->cmdRunTxt_Click();
  }
  EXPECT_TRUE(ArgsOf(recorder, 1000).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(pwned));
}

}  // namespace
}  // namespace zelkar::test

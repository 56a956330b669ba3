// Real processes: what a started program receives, and that no shell ever ran.
#include <QStandardPaths>

#include "SecurityTest.h"
#include "app/Controls.h"
#include "launch/core/DetachedLaunchBackend.h"
#include "list/TreeView.h"

namespace zelkar::test {
namespace {

class RealLaunchTest : public SecurityTest {
 protected:
  void SetUp() override {
    SecurityTest::SetUp();
    savedPath_ = qgetenv("PATH");
    // The desktop's opener is one of the test's recorders.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bin"))));
    opener = MakeRecorder(QStringLiteral("bin/xdg-open"));
    qputenv("PATH", QFile::encodeName(path(QStringLiteral("bin"))) + ':' + savedPath_);
  }
  void TearDown() override {
    qputenv("PATH", savedPath_);
    SecurityTest::TearDown();
  }
  QString opener;

 private:
  QByteArray savedPath_;
};

TEST_F(RealLaunchTest, RunBoxAndTreeHandOverHostileTextAsOneArgument) {
  launch::DetachedLaunchBackend real;
  const launch::LaunchBackend::Scope scope(real);
  const QString pwned = path(QStringLiteral("pwned"));
  CurrentFolder here(dir());  // where a relative "touch pwned" would land
  const QString recorder = MakeRecorder(QStringLiteral("-rec;$(touch pwned) `touch pwned`.sh"));
  const QString document = MakeFile(QStringLiteral("-x;$(touch pwned)|`touch pwned`&.txt"));
  Put(QStringLiteral("-rf.exe"), recorder);
  Put(QStringLiteral("$(touch${IFS}pwned).exe"), document);
  auto f = Window();
  ScriptedDialogs dialogs;

  const QStringList words = {"$(touch " + pwned + ")", ";touch " + pwned,   "`touch " + pwned + "`",
                             "| touch " + pwned,       "&& touch " + pwned, QStringLiteral("-rf"),
                             QStringLiteral("--")};
  QString typed = "'" + recorder + "'";
  for (const QString& w : words) typed += " '" + w + "'";
  f->txtExe->setText(typed);
  f->cmdRunTxt_Click();
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder} + words);

  f->tvw->Select(Node(*f, QStringLiteral("-rf.exe")));
  f->cmdRun_Click();
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});

  // A document reaches the opener as one file:// address, never as a name
  // that could pass for an option.
  f->tvw->Select(Node(*f, QStringLiteral("$(touch${ifs}pwned).exe")));
  f->cmdRun_Click();
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));
  f->txtExe->setText(document);
  f->cmdRunTxt_Click();
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));

  // Text that only a shell could carry out starts nothing at all.
  for (const QString& text : {"$(touch " + pwned + ")", ";touch " + pwned, "zk-none; touch " + pwned,
                              "'" + recorder + "' ; touch " + pwned, "'" + recorder + "' $(touch " + pwned + ")"}) {
    f->txtExe->setText(text);
    dialogs.expectBoxTitled(QStringLiteral("Error"), answer::OK);
    f->cmdRunTxt_Click();
  }
  EXPECT_TRUE(ArgsOf(recorder, 1000).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(pwned));
}

TEST_F(RealLaunchTest, ZelkarOpenTakesHostileArgumentsLiterally) {
  const QString recorder = MakeRecorder(QStringLiteral("rec.sh"));
  const QString document = MakeFile(QStringLiteral("-notes;$(touch pwned).txt"));
  Put(QStringLiteral("tool.exe"), recorder);
  Put(QStringLiteral("-doc.exe"), document);
  const QString open = QStringLiteral(ZELKAR_OPEN_BINARY);
  const QStringList args = {QStringLiteral("$(touch pwned)"),
                            QStringLiteral(";touch pwned"),
                            QStringLiteral("|touch pwned"),
                            QStringLiteral("&touch pwned"),
                            QStringLiteral("a\ntouch pwned"),
                            QStringLiteral("`touch pwned`"),
                            QStringLiteral("-rf"),
                            QStringLiteral("--list"),
                            QString(100000, u'a')};
  Ran ran = RunIn(dir(), open, QStringList{QStringLiteral("tool")} + args);
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder} + args);

  ran = RunIn(dir(), open, {QStringLiteral("--"), QStringLiteral("-doc")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));
  // Addresses too reach the opener whole, their scheme in front.
  Put(QStringLiteral("site.exe"), QStringLiteral("www.example.org/-x;$(touch pwned)"));
  Put(QStringLiteral("mail.exe"), QStringLiteral("mailto:-oProxyCommand=touch pwned"));
  ran = RunIn(dir(), open, {QStringLiteral("site")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, QStringLiteral("http://www.example.org/-x;$(touch%20pwned)")}));
  ran = RunIn(dir(), open, {QStringLiteral("mail")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, QStringLiteral("mailto:-oProxyCommand=touch%20pwned")}));

  // Names that are no keyword start nothing; one that looks like an option is refused as one.
  const struct {
    QStringList args;
    int code;
  } refused[] = {{{QStringLiteral("$(touch${IFS}pwned)")}, 2},
                 {{QStringLiteral(";touch${IFS}pwned")}, 2},
                 {{QStringLiteral("`touch${IFS}pwned`"), QStringLiteral("x")}, 2},
                 {{QStringLiteral("a\ntouch${IFS}pwned")}, 64},
                 {{QString(100000, u'n')}, 2},
                 {{QStringLiteral("--command-not-found"), QStringLiteral("$(touch${IFS}pwned)")}, 127},
                 {{QStringLiteral("--command-not-found"), QStringLiteral("$(touch pwned)")}, 127},
                 {{QStringLiteral("$(touch pwned)")}, 64},
                 {{QStringLiteral("-rf")}, 64},
                 {{QStringLiteral("-doc")}, 64}};
  for (const auto& r : refused) {
    ran = RunIn(dir(), open, r.args);
    EXPECT_EQ(ran.code, r.code) << qPrintable(r.args.join(u' ').left(60)) << qPrintable(ran.err.left(200));
  }
  EXPECT_TRUE(ArgsOf(recorder, 500).isEmpty());
  EXPECT_TRUE(ArgsOf(opener, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("pwned"))));
}

TEST_F(RealLaunchTest, NamesWithLineBreaksOrTabsCannotForgeListedKeywords) {
  Put(QStringLiteral("plain.exe"), QStringLiteral("/bin/plain"));
  Put(QStringLiteral("x\nforged.exe"), QStringLiteral("/bin/x"));
  Put(QStringLiteral("y\tforged.exe"), QStringLiteral("/bin/y"));
  Put(QStringLiteral("z\rforged.exe"), QStringLiteral("/bin/z"));
  const QString open = QStringLiteral(ZELKAR_OPEN_BINARY);
  const Ran ran = RunIn(dir(), open, {QStringLiteral("--list")});
  EXPECT_EQ(ran.code, 0);
  EXPECT_EQ(ran.out, QStringLiteral("plain\t/bin/plain\n"));
  // Such a name cannot be typed as one word either, like a name with a blank.
  for (const char* name : {"x\nforged", "y\tforged", "z\rforged"})
    EXPECT_EQ(RunIn(dir(), open, {QString::fromLatin1(name)}).code, 64) << name;
}

TEST_F(RealLaunchTest, ShellCompletionOffersHostileNamesOnlyQuoted) {
  const QString bash = QStandardPaths::findExecutable(QStringLiteral("bash"));
  if (bash.isEmpty()) GTEST_SKIP() << "no bash";
  const QString recorder = MakeRecorder(QStringLiteral("rec.sh"));
  const QString name = QStringLiteral("$(touch${IFS}pwned)`touch${IFS}pwned`x");
  Put(name + ".exe", recorder);
  // The user types "zelkar-open $", completes, and runs what was completed.
  const QString script = QStringLiteral(
                             "eval \"$('%1' --shell-init bash)\"\n"
                             "COMP_WORDS=(zelkar-open '$'); COMP_CWORD=1; __zelkar_open_complete\n"
                             "printf '%s\\n' \"${COMPREPLY[@]}\"\n"
                             "eval \"\\\"\\$__zelkar_open_program\\\" ${COMPREPLY[0]}\"\n")
                             .arg(QStringLiteral(ZELKAR_OPEN_BINARY));
  const Ran ran = RunIn(dir(), bash, {QStringLiteral("-c"), script});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ran.out.count(u'\n'), 1) << qPrintable(ran.out);
  EXPECT_NE(ran.out.trimmed(), name);  // quoted for the shell
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("pwned"))));
}

}  // namespace
}  // namespace zelkar::test

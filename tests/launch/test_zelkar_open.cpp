// zelkar-open: the command prompt's way to keywords.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <functional>
#include <memory>

#include "app/frmMain.h"
#include "launch/core/KeywordFolder.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/ShellInit.h"
#include "list/TreeView.h"
#include "support/LabelEdit.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using launch::KeywordOpening;

class ZelkarOpenTest : public WindowTest {
 protected:
  // Runs with the test's bin folder (where xdg-open is a recorder) and the
  // build's programs first on the PATH.
  Ran RunIn(const QString& program, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", path("bin") + u':' + QFileInfo(ZELKAR_OPEN_BINARY).absolutePath() + u':' + env.value("PATH"));
    return RunProgram(program, args, env, dir());
  }
  Ran RunOpen(const QStringList& args) { return RunIn(ZELKAR_OPEN_BINARY, args); }
};

TEST_F(ZelkarOpenTest, ArgumentsPassLiterallyDocumentsGoToXdgOpenAndFailuresHaveTheirStatus) {
  // No store yet: no keyword, and none is created.
  Ran ran = RunOpen({"nosuch"});
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.err, "zelkar-open: no keyword 'nosuch'\n");
  EXPECT_FALSE(QFileInfo::exists(path("registry")));

  ASSERT_TRUE(QDir().mkpath(path("bin")));
  const QString opener = MakeRecorder("bin/xdg-open");
  const QString recorder = MakeRecorder("-odd name;$(touch pwned).sh");
  const QString document = MakeFile("-notes;$(touch pwned).txt");
  Put("Tool.exe", recorder);
  Put("-doc.exe", document);
  Put("site.exe", "www.example.org/-x;$(touch pwned)");
  Put("mail.exe", "mailto:-oProxyCommand=touch pwned");
  Put("gone.exe", path("gone.txt"));
  Put("here.exe", dir());
  const QStringList hostile = {"two words", ";",  "$(touch pwned)", "|touch pwned", "&touch pwned", "a\ntouch pwned",
                               "`touch pwned`", "-rf", "--list", "", "*", QString(100000, u'a')};
  const QByteArray broken = ("zelkar-open: the keyword 'GONE.exe' has a broken target: " + path("gone.txt") + "\n").toUtf8();
  const struct {
    QStringList args;
    int code;
    const char* err = nullptr;  // what standard error holds ("": nothing), nullptr: not checked
    QString started = {};       // the recorder that ran, with `got` after its own path
    QStringList got = {};
  } rows[] = {
      {{}, 64, "Usage: zelkar-open NAME"},
      {{"--bogus"}, 64},
      {{"--shell-init", "tcsh"}, 64},
      {{"--list", "x"}, 64},
      {{"GONE.exe"}, 2, broken.constData()},
      {{"here", "extra"}, 64, "takes no words. Put %s in its target"},
      {QStringList{"tool"} + hostile, 0, "", recorder, hostile},
      {{"--", "-doc"}, 0, "", opener, {FileUrl(document)}},  // a file:// address, never a name like an option
      {{"HERE.exe"}, 0, "", opener, {FileUrl(dir())}},
      {{"site"}, 0, "", opener, {"http://www.example.org/-x;$(touch%20pwned)"}},
      {{"mail"}, 0, "", opener, {"mailto:-oProxyCommand=touch%20pwned"}},
      // The shells' hook: silent for no keyword, speaks for a broken one.
      {{"--command-not-found", "nosuch", "x"}, 127, ""},
      {{"--command-not-found", "gone"}, 2},
      {{"--command-not-found", "$(touch${IFS}pwned)"}, 127},
      {{"--command-not-found", "$(touch pwned)"}, 127},
      // Names that are no keyword start nothing; one that looks like an option is refused as one.
      {{"$(touch${IFS}pwned)"}, 2},
      {{";touch${IFS}pwned"}, 2},
      {{"`touch${IFS}pwned`", "x"}, 2},
      {{QString(100000, u'n')}, 2},
      {{"a\ntouch${IFS}pwned"}, 64},
      {{"$(touch pwned)"}, 64},
      {{"-rf"}, 64},
      {{"-doc"}, 64},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.args.join(u' ').left(60).toStdString());
    ran = RunOpen(r.args);
    EXPECT_EQ(ran.code, r.code) << qPrintable(ran.err.left(200));
    if (r.err && !*r.err) {
      EXPECT_EQ(ran.err, "");
    }
    if (r.err && *r.err) {
      EXPECT_TRUE(ran.err.contains(QString::fromUtf8(r.err))) << qPrintable(ran.err);
    }
    if (!r.started.isEmpty()) {
      EXPECT_EQ(ArgsOf(r.started), QStringList{r.started} + r.got);
    }
  }
  for (const QString name : {"a/b", "..", "x..y", "a b", "", "x\nforged", "y\tforged", "z\rforged"}) {
    ran = RunOpen({"--", name});
    EXPECT_EQ(ran.code, 64) << qPrintable(name);
    EXPECT_TRUE(ran.err.contains("cannot be a keyword name")) << qPrintable(ran.err);
    EXPECT_EQ(RunOpen({"--command-not-found", name}).code, 127) << qPrintable(name);
  }
  EXPECT_TRUE(ArgsOf(recorder, 500).isEmpty());
  EXPECT_TRUE(ArgsOf(opener, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

TEST_F(ZelkarOpenTest, AnEmptyEntryIsBrokenAndAFailedStartNamesTheTargetAsStored) {
  const QString script = MakeScript("tool.sh");
  Put("tool.exe", "\"" + script + "\"");
  Put("empty.exe", QString());
  EXPECT_EQ(launch::OpenKeyword("EMPTY", {}, backend).result, KeywordOpening::Broken);
  backend.startResult = false;
  const KeywordOpening failed = launch::OpenKeyword("tool", {"-x"}, backend);
  EXPECT_EQ(failed.result, KeywordOpening::Failed);
  EXPECT_EQ(failed.target, "\"" + script + "\"");
  EXPECT_EQ(Recorded(), Start(script) + "|-x");
}

TEST_F(ZelkarOpenTest, ListingAndCompletionThatTabsOrLineBreaksCannotForge) {
  const QString recorder = MakeRecorder("rec.sh");
  const QString hostile = "$(touch${IFS}pwned)`touch${IFS}pwned`x";
  Put(hostile + ".exe", recorder);
  Put("gamma.exe", "/opt/g");
  Put("Beta.EXE", "www.beta.example");
  Put("alpha.exe", "/a\tb");
  Put("plain", "/not/found/by/name");
  for (const char* forged : {"x\nforged.exe", "y\tforged.exe", "z\rforged.exe"}) Put(forged, "/bin/x");
  Ran ran = RunOpen({"--list"});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ran.out, hostile + "\t" + recorder + "\nalpha\t/a b\nBeta\twww.beta.example\ngamma\t/opt/g\n");

  // The user types "zelkar-open $", completes, and runs what was completed.
  const QString bash = QStandardPaths::findExecutable("bash");
  if (bash.isEmpty()) GTEST_SKIP() << "no bash";
  ran = RunIn(bash, {"-c",
                     "eval \"$(zelkar-open --shell-init bash)\"\n"
                     "COMP_WORDS=(zelkar-open '$'); COMP_CWORD=1; __zelkar_open_complete\n"
                     "printf '%s\\n' \"${COMPREPLY[@]}\"\n"
                     "eval \"\\\"\\$__zelkar_open_program\\\" ${COMPREPLY[0]}\"\n"});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ran.out.count(u'\n'), 1) << qPrintable(ran.out);
  EXPECT_NE(ran.out.trimmed(), hostile);  // quoted for the shell
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

TEST_F(ZelkarOpenTest, ShellsRunKeywordsTypedAsCommandsAndKeepAnEarlierHandler) {
  const QString recorder = MakeRecorder("rec.sh");
  Put("mykw.exe", recorder);
  Put("gone.exe", path("gone.txt"));
  const Ran ran = RunIn("bash", {"-c",
                                 "command_not_found_handle() { echo \"earlier $1\" >&2; return 127; }\n"
                                 "eval \"$(zelkar-open --shell-init bash)\"; eval \"$(zelkar-open --shell-init bash)\"\n"
                                 "MyKw a 'b c'; echo \"status $?\"; nosuchkw_x; echo \"status $?\"; gone; echo \"status $?\"\n"
                                 "COMP_WORDS=(zelkar-open MY); COMP_CWORD=1; __zelkar_open_complete; echo \"${COMPREPLY[*]}\""});
  EXPECT_EQ(ran.out, "status 0\nstatus 127\nstatus 2\nmykw\n");
  EXPECT_EQ(ran.err, "earlier nosuchkw_x\nzelkar-open: the keyword 'gone' has a broken target: " + path("gone.txt") + "\n");
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "a", "b c"}));

  const struct {
    const char* shell;
    const char* script;
    const char* notFound;
  } others[] = {{"zsh", "eval \"$(zelkar-open --shell-init zsh)\"; mykw z 'y x'; echo \"status $?\"; nosuchkw_x",
                 "zsh: command not found: nosuchkw_x"},
                {"fish", "zelkar-open --shell-init fish | source; mykw z 'y x'; nosuchkw_x",
                 "fish: Unknown command: nosuchkw_x"}};
  for (const auto& o : others) {
    if (QStandardPaths::findExecutable(o.shell).isEmpty()) continue;
    const Ran other = RunIn(o.shell, {"-c", o.script});
    EXPECT_EQ(other.code, 127) << o.shell << qPrintable(other.err);
    EXPECT_TRUE(other.err.contains(o.notFound)) << o.shell << qPrintable(other.err);
    EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "z", "y x"})) << o.shell;
  }

  // Each shell reads the program's path back as written.
  const QString program = "/opt/it's \\\\here/zelkar-open";
  for (const char* shell : {"bash", "zsh", "fish"}) {
    const std::optional<QString> snippet = launch::ShellInitSnippet(shell, program);
    ASSERT_TRUE(snippet) << shell;
    EXPECT_TRUE(snippet->contains("--complete")) << shell;  // completion asks the program for the names
    if (QStandardPaths::findExecutable(shell).isEmpty()) continue;
    const Ran read = RunIn(shell, {"-c", *snippet + "\nprintf '%s\\n' \"$__zelkar_open_program\""});
    EXPECT_EQ(read.code, 0) << shell << qPrintable(read.err);
    EXPECT_EQ(read.out, program + "\n") << shell;
  }
  EXPECT_FALSE(launch::ShellInitSnippet("tcsh", program));
}

TEST_F(ZelkarOpenTest, StoreInUseByAWriterIsRead) {
  const QString recorder = MakeRecorder("rec.sh");
  Put("kw.exe", recorder);
  const QString hive = store().hiveFile(store::Hive::LocalMachine);
  store::RegistryStore::resetCurrent();  // the lock below is to be the only one
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &raw), SQLITE_OK);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
  // A window in the middle of a write does not hold the reader up.
  ASSERT_EQ(sqlite3_exec(db.get(), "BEGIN IMMEDIATE; UPDATE regkey SET name = name", nullptr, nullptr, nullptr),
            SQLITE_OK);
  Ran ran = RunOpen({"kw"});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});
  sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

QStringList FolderEntries() {
  QStringList names = QDir(launch::KeywordFolderPath()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
  names.sort();
  return names;
}

TEST_F(ZelkarOpenTest, KeywordFolderFollowsEveryWriterAndRunsKeywordsWithWords) {
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("home/.config"))));
  const QString recorder = MakeRecorder(QStringLiteral("recorder"));
  const QString folder = launch::KeywordFolderPath();
  const auto key = [](const char* name) { return kAppPathsFull + QLatin1String(name); };
  Put(QStringLiteral("Rec.exe"), recorder);
  Put(QStringLiteral("two..dots.exe"), recorder);
  Ran ran = RunOpen({QStringLiteral("--desktop"), QStringLiteral("on")});
  EXPECT_TRUE(ran.err.contains(QLatin1String("left out two..dots.exe"))) << qPrintable(ran.err);
  EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("rec")});
  EXPECT_TRUE(QFile::exists(path(QStringLiteral("home/.config/environment.d/60-zelkar.conf"))));

  ScriptedDialogs dialogs;
  frmMain f;
  struct Step {
    const char* writer;
    std::function<void()> write;
    QStringList entries;
  } steps[] = {
      {"window register", [&] { f.SaveKeyword(QStringLiteral("Alpha.exe"), recorder, false); }, {"alpha", "rec"}},
      {"window delete", [&] { f.DeleteKeyword(QStringLiteral("alpha.exe"), true); }, {"rec"}},
      {"window rename",
       [&] {
         f.show();
         f.LoadTVW(false);
         RenameByLabelEdit(f, 2, QStringLiteral("renamed"));
         f.tvw->Select(2);
         f.mnuRHRegister_Click();
       },
       {"renamed"}},
      {"window load (one transaction)",
       [&] {
         dialogs.expectBoxTitled(QStringLiteral("Load '%1'?").arg(testdata(QStringLiteral("backups/windows-crlf.zkb"))),
                                 answer::Yes);
         f.LoadList(testdata(QStringLiteral("backups/windows-crlf.zkb")));
       },
       {"docs", "notepad", "site"}},
      {"zelkar-reg",
       [&] {
         RunZelkarReg({QStringLiteral("add"), key("Beta.exe"), QStringLiteral("--default"), QStringLiteral("--data"), recorder});
         RunZelkarReg({QStringLiteral("delete"), key("site.exe")});
       },
       {"beta", "docs", "notepad"}},
      {"window import",
       [&] {
         const QString file = MakeFile(QStringLiteral("more.zkb"), "[Zelkar]\nVersion=18\n[Keywords]\n1=imported.exe\n"
                                                                 "[Targets]\n1=/\n[Count]\nKeywords=1\n");
         f.ImportList(file);
       },
       {"beta", "docs", "imported", "notepad"}},
      {"zelkar-open --sync over links lost and a file of another program",
       [&] {
         QFile::remove(folder + QStringLiteral("/beta"));
         QFile::remove(folder + QStringLiteral("/notepad"));
         QFile own(folder + QStringLiteral("/notepad"));
         ASSERT_TRUE(own.open(QIODevice::WriteOnly));
         const Ran sync = RunOpen({QStringLiteral("--sync")});
         EXPECT_EQ(sync.code, 0);
         EXPECT_TRUE(sync.err.contains(QLatin1String("left out notepad.exe: a file Zelkar did not create")))
             << qPrintable(sync.err);
       },
       {"beta", "docs", "imported", "notepad"}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.writer);
    step.write();
    EXPECT_EQ(FolderEntries(), step.entries);
  }
  EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/notepad")).isSymLink());

  // A run dialog's PATH lookup: the link opens its keyword with the words after it.
  ran = RunProgram(folder + QStringLiteral("/beta"), {QStringLiteral("a b"), QStringLiteral("$(touch pwned)")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, QStringLiteral("a b"), QStringLiteral("$(touch pwned)")}));

  // A terminal: the shell hook puts the folder at the end of PATH, once.
  const Ran shell = RunIn(
      QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("eval \"$(zelkar-open --shell-init bash)\"; "
                                                                    "eval \"$(zelkar-open --shell-init bash)\"; printf %s \"$PATH\"")});
  EXPECT_TRUE(shell.out.endsWith(QLatin1Char(':') + folder)) << qPrintable(shell.out);
  EXPECT_EQ(shell.out.count(folder), 1);

  EXPECT_EQ(RunOpen({QStringLiteral("--desktop"), QStringLiteral("off")}).code, 0);
  EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("notepad")});  // only what Zelkar did not create
  EXPECT_FALSE(QFile::exists(path(QStringLiteral("home/.config/environment.d/60-zelkar.conf"))));
  f.SaveKeyword(QStringLiteral("gamma.exe"), recorder, false);  // off: nothing follows
  EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("notepad")});
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);
}

TEST_F(ZelkarOpenTest, BookmarksCarryAddressKeywordsWithTheirPlaceForWords) {
  Put(QStringLiteral("Wiki.exe"), QStringLiteral("https://en.wikipedia.org/wiki/%s"));
  Put(QStringLiteral("q.exe"), QStringLiteral("www.example.com/?a=1&b=\"%s\"<x>"));
  Put(QStringLiteral("mail.exe"), QStringLiteral("mailto:me@example.com"));
  Put(QStringLiteral("docs.exe"), dir());
  const Ran ran = RunOpen({QStringLiteral("--bookmarks")});
  EXPECT_EQ(ran.code, 0);
  EXPECT_TRUE(ran.out.startsWith(QLatin1String("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n")));
  const QStringList marks = ran.out.split(QLatin1Char('\n')).filter(QLatin1String("<DT><A "));
  EXPECT_EQ(marks, (QStringList{
      QStringLiteral("        <DT><A HREF=\"http://www.example.com/?a=1&amp;b=&quot;%s&quot;&lt;x&gt;\" SHORTCUTURL=\"q\">q</A>"),
      QStringLiteral("        <DT><A HREF=\"https://en.wikipedia.org/wiki/%s\" SHORTCUTURL=\"wiki\">wiki</A>")}));
}

}  // namespace
}  // namespace zelkar::test

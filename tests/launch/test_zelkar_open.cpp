// zelkar-open: the command prompt's way to keywords.
#include "LaunchTest.h"

#include "app/frmMain.h"
#include "launch/core/KeywordFolder.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/ShellInit.h"
#include "list/TreeView.h"
#include "support/LabelEdit.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <sqlite3.h>

#include <functional>
#include <memory>

namespace zelkar::test {
namespace {

using launch::KeywordOpening;

// Runs with the build's programs, and `extraPath` before them, on the PATH.
Ran RunWithBuildPath(const QString& program, const QStringList& args, const QString& extraPath = QString()) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const QString binDir = QFileInfo(QStringLiteral(ZELKAR_OPEN_BINARY)).absolutePath();
  QString path = binDir + QLatin1Char(':') + env.value(QStringLiteral("PATH"));
  if (!extraPath.isEmpty()) path = extraPath + QLatin1Char(':') + path;
  env.insert(QStringLiteral("PATH"), path);
  return RunProgram(program, args, env);
}

Ran RunOpen(const QStringList& args, const QString& extraPath = QString()) {
  return RunWithBuildPath(QStringLiteral(ZELKAR_OPEN_BINARY), args, extraPath);
}

class ZelkarOpenTest : public LaunchTest {
 protected:
  // A program that writes its own path and its arguments (each ended by a
  // zero byte) to "<itself>.argv".
  QString MakeRecorder(const QString& name) {
    return MakeScript(name, "printf '%s\\0' \"$0\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.argv\"\n");
  }
  // What the recorder was started with; nothing when it did not run in time.
  static QStringList ArgsOf(const QString& recorder) {
    QFile file(recorder + QStringLiteral(".argv"));
    const QDeadlineTimer deadline(10000);
    while (!file.exists() && !deadline.hasExpired()) QThread::msleep(20);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList words = QString::fromUtf8(file.readAll()).split(QChar(u'\0'));
    words.removeLast();  // after the last terminator
    return words;
  }
};

TEST_F(ZelkarOpenTest, ExitStatusesAndMessages) {
  Ran ran = RunOpen({});
  EXPECT_EQ(ran.code, 64);
  EXPECT_TRUE(ran.err.contains(QLatin1String("Usage: zelkar-open NAME"))) << qPrintable(ran.err);
  EXPECT_EQ(RunOpen({QStringLiteral("--bogus")}).code, 64);
  EXPECT_EQ(RunOpen({QStringLiteral("--shell-init"), QStringLiteral("tcsh")}).code, 64);

  // No store yet: no keyword, and none is created.
  ran = RunOpen({QStringLiteral("nosuch")});
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.err, QStringLiteral("zelkar-open: no keyword 'nosuch'\n"));
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("registry"))));

  const QString gone = path(QStringLiteral("gone.txt"));
  Put(QStringLiteral("gone.exe"), gone);
  ran = RunOpen({QStringLiteral("GONE.exe")});
  EXPECT_EQ(ran.code, 2);
  EXPECT_EQ(ran.err, QStringLiteral("zelkar-open: the keyword 'GONE.exe' has a broken target: %1\n").arg(gone));

  for (const QString& name :
       {QStringLiteral("a/b"), QStringLiteral(".."), QStringLiteral("x..y"), QStringLiteral("a b"), QString()}) {
    ran = RunOpen({QStringLiteral("--"), name});
    EXPECT_EQ(ran.code, 64) << qPrintable(name);
    EXPECT_TRUE(ran.err.contains(QLatin1String("cannot be a keyword name"))) << qPrintable(ran.err);
    EXPECT_EQ(RunOpen({QStringLiteral("--command-not-found"), name}).code, 127) << qPrintable(name);
  }

  // The shells' hook: silent for no keyword, speaks for a broken one.
  ran = RunOpen({QStringLiteral("--command-not-found"), QStringLiteral("nosuch"), QStringLiteral("x")});
  EXPECT_EQ(ran.code, 127);
  EXPECT_EQ(ran.err, QString());
  EXPECT_EQ(RunOpen({QStringLiteral("--command-not-found"), QStringLiteral("gone")}).code, 2);

  Put(QStringLiteral("here.exe"), dir());
  ran = RunOpen({QStringLiteral("here"), QStringLiteral("extra")});
  EXPECT_EQ(ran.code, 64);
  EXPECT_TRUE(ran.err.contains(QLatin1String("takes no words. Put %s in its target"))) << qPrintable(ran.err);
}

TEST_F(ZelkarOpenTest, OpensTargetsByTheLaunchersRules) {
  const QString folder = path(QStringLiteral("my folder"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString script = MakeScript(QStringLiteral("tool.sh"));
  Put(QStringLiteral("Docs.exe"), folder);
  Put(QStringLiteral("site.exe"), QStringLiteral("www.example.org/a b"));
  Put(QStringLiteral("tool.exe"), QLatin1Char('"') + script + QLatin1Char('"'));
  Put(QStringLiteral("empty.exe"), QString());

  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("dOCS.EXE"), {}, backend).result, KeywordOpening::Started);
  EXPECT_EQ(Recorded(), Open(folder));
  backend.clear();
  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("site"), {}, backend).result, KeywordOpening::Started);
  EXPECT_EQ(Recorded(), "open http://www.example.org/a%20b");
  backend.clear();
  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("TOOL"), {QStringLiteral("-x"), QStringLiteral("a b")}, backend).result,
            KeywordOpening::Started);
  EXPECT_EQ(Recorded(), Start(script) + "|-x|a b");

  backend.clear();
  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("docs"), {QStringLiteral("x")}, backend).result,
            KeywordOpening::TakesNoArguments);
  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("empty"), {}, backend).result, KeywordOpening::Broken);
  EXPECT_EQ(launch::OpenKeyword(QStringLiteral("none"), {}, backend).result, KeywordOpening::NoKeyword);
  EXPECT_EQ(Recorded(), "none");

  backend.startResult = false;
  const KeywordOpening failed = launch::OpenKeyword(QStringLiteral("tool"), {}, backend);
  EXPECT_EQ(failed.result, KeywordOpening::Failed);
  EXPECT_EQ(failed.target, QLatin1Char('"') + script + QLatin1Char('"'));
}

TEST_F(ZelkarOpenTest, ListsKeywordsTabSeparatedInStoreOrder) {
  Put(QStringLiteral("gamma.exe"), QStringLiteral("/opt/g"));
  Put(QStringLiteral("Beta.EXE"), QStringLiteral("www.beta.example"));
  Put(QStringLiteral("alpha.exe"), QStringLiteral("/a\tb"));
  Put(QStringLiteral("plain"), QStringLiteral("/not/found/by/name"));
  const Ran ran = RunOpen({QStringLiteral("--list")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ran.out, QStringLiteral("alpha\t/a b\nBeta\twww.beta.example\ngamma\t/opt/g\n"));
  EXPECT_EQ(RunOpen({QStringLiteral("--list"), QStringLiteral("x")}).code, 64);
}

TEST_F(ZelkarOpenTest, StartsExactlyTheTargetWithExactlyTheArguments) {
  const QString recorder = MakeRecorder(QStringLiteral("-odd name;$(touch pwned).sh"));
  modRegEdit::RegWriteValue(kAppPathsFull + QStringLiteral("Odd.exe\\"), recorder, 0);
  const QStringList args = {QStringLiteral("two words"), QStringLiteral(";"), QStringLiteral("$(touch pwned)"),
                            QStringLiteral("-n"),        QString(),           QStringLiteral("*")};
  const Ran ran = RunOpen(QStringList{QStringLiteral("odd")} + args);
  ASSERT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder} + args);
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("pwned"))));
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));
}

TEST_F(ZelkarOpenTest, OpensDocumentsThroughXdgOpenWithoutAWindowSystem) {
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("bin"))));
  const QString opener = MakeRecorder(QStringLiteral("bin/xdg-open"));
  const QString document = MakeFile(QStringLiteral("-notes 1.txt"));
  Put(QStringLiteral("notes.exe"), document);
  const Ran ran = RunOpen({QStringLiteral("notes")}, path(QStringLiteral("bin")));
  ASSERT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, FileUrl(document)}));
}

TEST_F(ZelkarOpenTest, SnippetsHookTheShellsAndCompleteNames) {
  const struct {
    const char* shell;
    const char* hook;
    const char* completion;
  } shells[] = {{"bash", "command_not_found_handle()", "complete -o default -F"},
                {"zsh", "command_not_found_handler()", "compdef _zelkar_open zelkar-open"},
                {"fish", "function fish_command_not_found", "complete -c zelkar-open"}};
  const QString program = QStringLiteral("/opt/it's \\\\here/zelkar-open");
  for (const auto& s : shells) {
    const QString shell = QString::fromLatin1(s.shell);
    const std::optional<QString> snippet = launch::ShellInitSnippet(shell, program);
    ASSERT_TRUE(snippet) << s.shell;
    for (const char* part : {s.hook, s.completion, "--command-not-found", "--complete", "return 127"})
      EXPECT_TRUE(snippet->contains(QLatin1String(part))) << s.shell << " lacks " << part;

    // The shell reads the program's path back as written, and the snippet as a whole.
    if (QStandardPaths::findExecutable(shell).isEmpty()) continue;
    const QString read = QStringLiteral("printf '%s\\n' \"$__zelkar_open_program\"");
    const Ran ran = RunWithBuildPath(shell, {QStringLiteral("-c"), *snippet + QLatin1Char('\n') + read});
    EXPECT_EQ(ran.code, 0) << s.shell << qPrintable(ran.err);
    EXPECT_EQ(ran.out, program + QLatin1Char('\n')) << s.shell;
  }
  EXPECT_FALSE(launch::ShellInitSnippet(QStringLiteral("tcsh"), program));
}

TEST_F(ZelkarOpenTest, ShellsRunKeywordsTypedAsCommands) {
  const QString recorder = MakeRecorder(QStringLiteral("rec.sh"));
  Put(QStringLiteral("mykw.exe"), recorder);
  Put(QStringLiteral("gone.exe"), path(QStringLiteral("gone.txt")));
  // An earlier handler is kept for what is no keyword, even when the lines are
  // evaluated twice.
  const QString bash = QStringLiteral(
      "command_not_found_handle() { echo \"earlier $1\" >&2; return 127; }\n"
      "eval \"$(zelkar-open --shell-init bash)\"; eval \"$(zelkar-open --shell-init bash)\"\n"
      "MyKw a 'b c'; echo \"status $?\"; nosuchkw_x; echo \"status $?\"; gone; echo \"status $?\"\n"
      "COMP_WORDS=(zelkar-open MY); COMP_CWORD=1; __zelkar_open_complete; echo \"${COMPREPLY[*]}\"");
  const Ran ran = RunWithBuildPath(QStringLiteral("bash"), {QStringLiteral("-c"), bash});
  EXPECT_EQ(ran.out, QStringLiteral("status 0\nstatus 127\nstatus 2\nmykw\n"));
  EXPECT_EQ(ran.err, QStringLiteral("earlier nosuchkw_x\nzelkar-open: the keyword 'gone' has a broken target: %1\n")
                         .arg(path(QStringLiteral("gone.txt"))));
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, QStringLiteral("a"), QStringLiteral("b c")}));

  const struct {
    const char* shell;
    const char* script;
    const char* notFound;
  } others[] = {{"zsh", "eval \"$(zelkar-open --shell-init zsh)\"; mykw z 'y x'; echo \"status $?\"; nosuchkw_x",
                 "zsh: command not found: nosuchkw_x"},
                {"fish", "zelkar-open --shell-init fish | source; mykw z 'y x'; nosuchkw_x",
                 "fish: Unknown command: nosuchkw_x"}};
  for (const auto& o : others) {
    const QString shell = QString::fromLatin1(o.shell);
    if (QStandardPaths::findExecutable(shell).isEmpty()) continue;
    QFile::remove(recorder + QStringLiteral(".argv"));
    const Ran other = RunWithBuildPath(shell, {QStringLiteral("-c"), QString::fromLatin1(o.script)});
    EXPECT_EQ(other.code, 127) << o.shell << qPrintable(other.err);
    EXPECT_TRUE(other.err.contains(QLatin1String(o.notFound))) << o.shell << qPrintable(other.err);
    EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, QStringLiteral("z"), QStringLiteral("y x")})) << o.shell;
  }
}

TEST_F(ZelkarOpenTest, DamagedStoreIsNamedAndLeftAsItIs) {
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("registry"))));
  const QString hive = path(QStringLiteral("registry/machine.sqlite"));
  QByteArray junk(4096, '\0');
  for (int i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 7 + 3);
  QFile file(hive);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(junk);
  file.close();
  for (const QStringList& args : {QStringList{QStringLiteral("kw")}, QStringList{QStringLiteral("--list")}}) {
    const Ran ran = RunOpen(args);
    EXPECT_EQ(ran.code, 3) << qPrintable(args.join(u' '));
    EXPECT_TRUE(ran.err.startsWith(QStringLiteral("zelkar-open: the keyword store ") + hive)) << qPrintable(ran.err);
  }
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), junk);
  EXPECT_EQ(QDir(path(QStringLiteral("registry"))).entryList(QDir::Files),
            QStringList{QStringLiteral("machine.sqlite")});
}

TEST_F(ZelkarOpenTest, StoreInUseByAWriterIsReadAndALockedOneIsReported) {
  const QString recorder = MakeRecorder(QStringLiteral("rec.sh"));
  Put(QStringLiteral("kw.exe"), recorder);
  const QString hive = store().hiveFile(store::Hive::LocalMachine);
  store::RegistryStore::resetCurrent();  // the lock below is to be the only one
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(hive).constData(), &raw), SQLITE_OK);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);

  // A window in the middle of a write does not hold the reader up.
  ASSERT_EQ(sqlite3_exec(db.get(), "BEGIN IMMEDIATE; UPDATE regkey SET name = name", nullptr, nullptr, nullptr),
            SQLITE_OK);
  Ran ran = RunOpen({QStringLiteral("kw")});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), QStringList{recorder});
  sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);

  // A store nobody else may read: a message after the busy timeout, no hang.
  ASSERT_EQ(sqlite3_exec(db.get(), "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE regkey SET name = name",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  ran = RunOpen({QStringLiteral("kw")});
  EXPECT_EQ(ran.code, 4);
  EXPECT_TRUE(ran.err.contains(hive) && ran.err.contains(QLatin1String("busy"))) << qPrintable(ran.err);
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
  const Ran shell = RunWithBuildPath(
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

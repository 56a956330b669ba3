// zelkar-open: the command prompt's way to keywords, and the shells, run
// dialogs and browsers it serves.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/frmMain.h"
#include "launch/core/KeywordFolder.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/ShellInit.h"
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
  Put("gone.exe", path("gone.txt"));
  Put("here.exe", dir());
  ASSERT_TRUE(QDir().mkpath(path("sub")));
  MakeScript("sub/zk-tool", "touch \"$0.ran\"\n");
  Put("rel.exe", "sub/zk-tool");  // the current folder never supplies a target
  const QStringList hostile = {"two words", ";", "$(touch pwned)", "`touch pwned`", "-rf", "", QString(100000, u'a')};
  const struct {
    QStringList args;
    int code;
    const char* err = nullptr;  // what standard error holds ("": nothing), nullptr: not checked
    QString started = {};       // the recorder that ran, with `got` after its own path
    QStringList got = {};
  } rows[] = {
      {{}, 64, "Usage: zelkar-open NAME"},
      {{"--bogus"}, 64, "unknown option --bogus"},
      {{"--shell-init", "tcsh"}, 64},
      {{"--list", "x"}, 64},
      {{"--desktop", "bogus"}, 64, "--desktop takes on, off or status"},
      {{"--sync"}, 1, "the keyword folder is off"},
      {{"GONE.exe"}, 2, "the keyword 'GONE.exe' has a broken target: "},
      {{"here", "extra"}, 64, "takes no words. Put %s in its target"},
      {{"rel"}, 2, "a target is an absolute path, a program name on PATH"},
      {QStringList{"tool"} + hostile, 0, "", recorder, hostile},
      {{"--", "-doc"}, 0, "", opener, {FileUrl(document)}},  // a file:// address, never a name like an option
      {{"HERE.exe"}, 0, "", opener, {FileUrl(dir())}},
      {{"site"}, 0, "", opener, {"http://www.example.org/-x;$(touch%20pwned)"}},
      // The shells' hook: silent for no keyword, speaks for a broken one.
      {{"--command-not-found", "nosuch", "x"}, 127, ""},
      // Names that are no keyword start nothing; one that looks like an option is refused as one.
      {{"-doc"}, 64},
      {{"--", "x..y"}, 64, "cannot be a keyword name"},
      {{"--", "a/b"}, 64, "cannot be a keyword name"},
      {{"--command-not-found", "x\nforged"}, 127, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.args.join(u' ').left(60).toStdString());
    ran = RunOpen(r.args);
    EXPECT_EQ(ran.code, r.code) << qPrintable(ran.err.left(200));
    EXPECT_TRUE(!r.err || (*r.err ? ran.err.contains(QString::fromUtf8(r.err)) : ran.err.isEmpty())) << qPrintable(ran.err);
    if (!r.started.isEmpty()) {
      EXPECT_EQ(ArgsOf(r.started), QStringList{r.started} + r.got);
    }
  }
  EXPECT_TRUE(ArgsOf(opener, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("sub/zk-tool.ran")) || QFileInfo::exists(path("pwned")));
}

// Help and version need no display and make no store; the keyword verbs follow the window's name rule.
TEST_F(ZelkarOpenTest, HelpVersionAndKeywordVerbs) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.insert("QT_QPA_PLATFORM", "no-such-platform");
  const QString tool = MakeScript("tool.sh");
  const struct {
    QStringList args;
    int code;
    const char* said;  // stdout, or stderr when the code is not 0
    QStringList keys;  // the keywords afterwards
    const char* program = ZELKAR_OPEN_BINARY;
  } rows[] = {
      {{"--help"}, 0, "Usage: zelkar ", {}, ZELKAR_BINARY},
      {{"--helps"}, 64, "zelkar: unknown option --helps\nUsage: zelkar ", {}, ZELKAR_BINARY},
      {{"--version"}, 0, "zelkar-reg 1.", {}, ZELKAR_REG_BINARY},
      {{"--help"}, 0, "Usage: zelkar-open ", {}},
      {{"--version"}, 0, "zelkar-open 1.", {}},
      {{"--add", "ed", tool}, 0, "registered 'ed' for", {"ed.exe"}},
      {{"--add", "ED", "/bin/true"}, 1, "already registered", {"ed.exe"}},
      {{"--add", "my prog|x", tool}, 0, "the keyword is 'my_prog_x'", {"ed.exe", "my_prog_x.exe"}},
      {{"--rename", "ed", "my_prog_x"}, 1, "already registered", {"ed.exe", "my_prog_x.exe"}},
      {{"--rename", "ed", "my_prog_x", "--force"}, 0, "renamed 'ed' to 'my_prog_x'", {"my_prog_x.exe"}},
      {{"--add", "x"}, 64, "usage: --add NAME TARGET", {"my_prog_x.exe"}},
      {{"--remove", "x", "--force"}, 64, "usage: --remove NAME", {"my_prog_x.exe"}},
      {{"--remove", "nosuch"}, 2, "no keyword 'nosuch'", {"my_prog_x.exe"}},
      {{"--remove", "MY_PROG_X"}, 0, "removed 'my_prog_x'", {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE((r.program + (u' ' + r.args.join(u' '))).toStdString());
    QProcessEnvironment rowEnv = env;
    if (r.args.front().startsWith("--help")) rowEnv.insert("ZELKAR_REGISTRY", path("untouched"));
    const Ran ran = RunProgram(r.program, r.args, rowEnv);
    EXPECT_EQ(ran.code, r.code) << qPrintable(ran.err);
    EXPECT_TRUE((r.code == 0 ? ran.out : ran.err).contains(r.said)) << qPrintable(ran.out + ran.err);
    EXPECT_EQ(Keys(), r.keys);
  }
  EXPECT_FALSE(QFile::exists(path("untouched")));

  // A store that may not be written (a shared one that is not there, for any
  // user, the superuser too), and a damaged one.
  QProcessEnvironment shared = env;
  shared.insert("ZELKAR_MACHINE_HIVE", path("missing/machine.sqlite"));
  Ran ran = RunProgram(ZELKAR_OPEN_BINARY, {"--add", "ro", tool}, shared);
  EXPECT_EQ(ran.code, 5) << qPrintable(ran.err);
  EXPECT_TRUE(ran.err.contains("may not be written")) << qPrintable(ran.err);
  const QString hive = store().hiveFile(store::Hive::LocalMachine);
  store::RegistryStore::resetCurrent();
  WriteFile(hive, QByteArray(4096, '\x5a'));
  ran = RunProgram(ZELKAR_OPEN_BINARY, {"--add", "ro", tool}, env);
  EXPECT_EQ(ran.code, 3) << qPrintable(ran.err);
}

TEST_F(ZelkarOpenTest, AStartedProgramNeverWritesIntoTheTerminalAndAFailedStartNamesTheTargetAsStored) {
  const QString talker = MakeScript("talker.sh", "echo out-line; echo err-line >&2; printf 'ran\\0' > \"$0.argv\"\n");
  Put("talk.exe", talker);
  // The terminal is a file here, so that what arrives late is seen too.
  const QString terminal = path("terminal");
  ASSERT_EQ(RunProgram("/bin/sh", {"-c", "\"$0\" talk > \"$1\" 2>&1", ZELKAR_OPEN_BINARY, terminal}).code, 0);
  ASSERT_EQ(ArgsOf(talker), QStringList{"ran"});
  EXPECT_EQ(ReadFile(terminal), QByteArray());

  Put("tool.exe", "\"" + talker + "\"");
  Put("empty.exe", QString());
  EXPECT_EQ(launch::OpenKeyword("EMPTY", {}, backend).result, KeywordOpening::Broken);
  backend.startResult = false;
  const KeywordOpening failed = launch::OpenKeyword("tool", {"-x"}, backend);
  EXPECT_EQ(failed.result, KeywordOpening::Failed);
  EXPECT_EQ(failed.target, "\"" + talker + "\"");
  EXPECT_EQ(Recorded(), Start(talker) + "|-x");
}

// The listing and the shells' completion, which tabs or line breaks in a name cannot forge.
TEST_F(ZelkarOpenTest, ShellsListCompleteAndRunKeywordsTypedAsCommandsAndKeepAnEarlierHandler) {
  const QString recorder = MakeRecorder("rec.sh"), other = MakeRecorder("other.sh");
  const QString hostile = "$(touch${IFS}pwned)`touch${IFS}pwned`x";
  Put(hostile + ".exe", other);
  Put("mykw.exe", recorder);
  Put("Beta.EXE", "/a\tb");
  Put("plain", "/not/found/by/name");
  for (const char* forged : {"x\nforged.exe", "y\tforged.exe"}) Put(forged, "/bin/x");
  EXPECT_EQ(RunOpen({"--list"}).out, hostile + "\t" + other + "\nBeta\t/a b\nmykw\t" + recorder + "\n");

  // The user types "zelkar-open $", completes, and runs what was completed.
  Put("gone.exe", path("gone.txt"));
  const Ran ran = RunIn("bash", {"-c",
                                 "command_not_found_handle() { echo \"earlier $1\" >&2; return 127; }\n"
                                 "eval \"$(zelkar-open --shell-init bash)\"; eval \"$(zelkar-open --shell-init bash)\"\n"
                                 "MyKw a 'b c'; echo \"status $?\"; nosuchkw_x; echo \"status $?\"; gone; echo \"status $?\"\n"
                                 "COMP_WORDS=(zelkar-open MY); COMP_CWORD=1; __zelkar_open_complete; echo \"${COMPREPLY[*]}\"\n"
                                 "COMP_WORDS=(zelkar-open '$'); COMP_CWORD=1; __zelkar_open_complete; echo ${#COMPREPLY[@]}\n"
                                 "eval \"\\\"\\$__zelkar_open_program\\\" ${COMPREPLY[0]}\"\n"});
  EXPECT_EQ(ran.out, "status 0\nstatus 127\nstatus 2\nmykw\n1\n");
  EXPECT_EQ(ran.err, "earlier nosuchkw_x\nzelkar-open: the keyword 'gone' has a broken target: " + path("gone.txt") + "\n");
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "a", "b c"}));
  EXPECT_EQ(ArgsOf(other), QStringList{other});
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));

  for (const auto& [shell, init] : {std::pair{"zsh", "eval \"$(zelkar-open --shell-init zsh)\""},
                                    std::pair{"fish", "zelkar-open --shell-init fish | source"}}) {
    if (QStandardPaths::findExecutable(shell).isEmpty()) continue;
    const Ran other = RunIn(shell, {"-c", QString(init) + "; mykw z 'y x'; nosuchkw_x"});
    EXPECT_EQ(other.code, 127) << shell << qPrintable(other.err);
    EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "z", "y x"})) << shell;
  }
  // Each shell reads the program's path back as written.
  const QString program = "/opt/it's \\\\here/zelkar-open";
  for (const char* shell : {"bash", "zsh", "fish"}) {
    if (QStandardPaths::findExecutable(shell).isEmpty()) continue;
    const Ran read = RunIn(shell, {"-c", *launch::ShellInitSnippet(shell, program) + "\nprintf '%s\\n' \"$__zelkar_open_program\""});
    EXPECT_EQ(read.out, program + "\n") << shell << qPrintable(read.err);
  }
}

QStringList FolderEntries() {
  QStringList names = QDir(launch::KeywordFolderPath()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
  names.sort();
  return names;
}

TEST_F(ZelkarOpenTest, KeywordFolderFollowsEveryWriterAndRunsKeywordsWithWords) {
  const QByteArray config = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("home/.config")));
  const QString recorder = MakeRecorder("recorder");
  const QString folder = launch::KeywordFolderPath();
  Put("Rec.exe", recorder);
  Put("two..dots.exe", recorder);
  Ran ran = RunOpen({"--desktop", "on"});
  EXPECT_TRUE(ran.err.contains("left out two..dots.exe")) << qPrintable(ran.err);
  EXPECT_EQ(FolderEntries(), QStringList{"rec"});
  ran = RunOpen({"--desktop", "status"});
  EXPECT_TRUE(ran.out.contains("keyword folder: on (") && ran.out.contains("graphical sessions: in place")) << qPrintable(ran.out);
  EXPECT_TRUE(QFile::exists(path("home/.config/environment.d/60-zelkar.conf")));

  ScriptedDialogs dialogs;
  frmMain f;  // the window's load: one transaction
  f.LoadTVW(false);
  const QString backup = testdata("backups/windows-crlf.zkb");
  dialogs.expectBoxTitled("Load '" + backup + "'?", answer::Yes);
  f.LoadList(backup);
  EXPECT_EQ(FolderEntries(), (QStringList{"docs", "notepad", "site"}));
  RunZelkarReg({"add", kAppPathsFull + "Beta.exe", "--default", "--data", recorder});  // another program
  RunZelkarReg({"delete", kAppPathsFull + "site.exe"});
  EXPECT_EQ(FolderEntries(), (QStringList{"beta", "docs", "notepad"}));
  // --sync puts back the links lost, and leaves a file of another program alone.
  QFile::remove(folder + "/beta");
  QFile::remove(folder + "/notepad");
  QFile own(folder + "/notepad");
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  EXPECT_TRUE(RunOpen({"--sync"}).err.contains("left out notepad.exe: a file Zelkar did not create"));
  EXPECT_EQ(FolderEntries(), (QStringList{"beta", "docs", "notepad"}));

  // A run dialog's PATH lookup: the link opens its keyword with the words after it.
  ran = RunProgram(folder + "/beta", {"a b", "$(touch pwned)"});
  EXPECT_EQ(ran.code, 0) << qPrintable(ran.err);
  EXPECT_EQ(ArgsOf(recorder), (QStringList{recorder, "a b", "$(touch pwned)"}));
  // A terminal: the shell hook puts the folder at the end of PATH, once.
  ran = RunIn("bash", {"-c", "eval \"$(zelkar-open --shell-init bash)\"; eval \"$(zelkar-open --shell-init bash)\"; "
                             "printf %s \"$PATH\""});
  EXPECT_TRUE(ran.out.endsWith(u':' + folder)) << qPrintable(ran.out);
  EXPECT_EQ(ran.out.count(folder), 1);

  EXPECT_EQ(RunOpen({"--desktop", "off"}).code, 0);
  EXPECT_EQ(FolderEntries(), QStringList{"notepad"});  // only what Zelkar did not create
  EXPECT_FALSE(QFile::exists(path("home/.config/environment.d/60-zelkar.conf")));
  EXPECT_TRUE(RunOpen({"--desktop", "status"}).out.contains("keyword folder: off"));
  f.SaveKeyword("gamma.exe", recorder, false);  // off: nothing follows
  EXPECT_EQ(FolderEntries(), QStringList{"notepad"});
  if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);
}

TEST_F(ZelkarOpenTest, BookmarksCarryAddressKeywordsWithTheirPlaceForWords) {
  Put("Wiki.exe", "https://en.wikipedia.org/wiki/%s");
  Put("q.exe", "www.example.com/?a=1&b=\"%s\"<x>");
  Put("mail.exe", "mailto:me@example.com");
  Put("docs.exe", dir());
  const QString out = RunOpen({"--bookmarks"}).out;
  EXPECT_TRUE(out.startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"));
  EXPECT_EQ(out.split('\n').filter("<DT><A "),
            (QStringList{"        <DT><A HREF=\"http://www.example.com/?a=1&amp;b=&quot;%s&quot;&lt;x&gt;\" "
                         "SHORTCUTURL=\"q\">q</A>",
                         "        <DT><A HREF=\"https://en.wikipedia.org/wiki/%s\" SHORTCUTURL=\"wiki\">wiki</A>"}));
}

}  // namespace
}  // namespace zelkar::test

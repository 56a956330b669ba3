// What a text opens: addresses, keywords, paths, programs and typed commands,
// the codes and messages of what fails, and the window's commands that run them.
#include <QAction>
#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

#include "launch/core/CommandWords.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/LaunchResolver.h"
#include "launch/modShellExe.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using ResolutionTest = WindowTest;

QString Program(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

TEST_F(ResolutionTest, EachTextOpensWhatItNamesInTheLaunchersOrder) {
  const QString document = MakeFile("notes.txt");
  const QString folder = path("My Folder");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString script = MakeScript("my tool.sh");
  const QString marked = MakeFile("readme.txt", "plain text");  // the execute bit alone makes no program
  QFile::setPermissions(marked, QFile::permissions(marked) | QFile::ExeOwner);
  const QString locked = MakeFile("locked.txt");
  QFile::setPermissions(locked, QFileDevice::Permissions());
  const QString inHome = MakeFile("home/todo.txt");
  // The current folder, a cloned repository with scripts named like programs,
  // never supplies a target.
  ASSERT_TRUE(QDir().mkpath(path("repo")));
  MakeScript("repo/zk-tool", "touch \"$0.ran\"\n");
  const CurrentFolder here(path("repo"));
  Put("Notes.exe", document);
  Put("docs.exe", folder);
  Put("tool.exe", "\"" + script + "\"");  // not yet normalised
  Put("www.example.com.exe", MakeFile("decoy.txt"));  // an address is never looked up
  Put("gone.exe", path("gone.txt"));
  Put("sh.exe", document);                    // a keyword comes before PATH
  Put("cat.exe", path("removed"));            // no fall-back to the program on PATH
  Put("true.exe", QString());                 // an empty entry is no keyword: the program runs
  const struct {
    QString text;
    int code;  // 42 launched; 0 any failure
    std::string recorded;
  } rows[] = {
      {"http://example.com/a b?q=1", 42, "open http://example.com/a%20b?q=1"},
      {"www.example.com", 42, "open http://www.example.com"},
      {"nOtEs.ExE", 42, Open(document)},
      {"docs", 42, Open(folder)},
      {"tool", 42, Start(script)},
      {"sh", 42, Open(document)},
      {"true -v", 42, Start(Program("true") + "|-v")},
      {"gone", 2, "none"},
      {"cat", 2, "none"},
      {folder + "/", 42, Open(folder)},
      {script, 42, Start(script)},
      {marked, 42, Open(marked)},
      {"~/todo.txt", 42, Open(inHome)},
      {path("nowhere/missing.txt"), 3, "none"},
      {"zk-tool", 2, "none"},
      {"", 2, "none"},
      {locked, ::geteuid() == 0 ? 42 : 5, ::geteuid() == 0 ? Open(locked) : "none"},  // the superuser reads all
      // Typed commands: a program with its arguments, split as a shell splits them.
      {"env -u 'A B' \"two words\"", 42, Start(Program("env") + "|-u|A B|two words")},
      {"'" + document + "' more", 0, "none"},  // only programs take arguments
  };
  ScriptedDialogs dialogs;  // a box only for a failure, and only when asked
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text.toStdString());
    backend.clear();
    const std::int32_t code = Run(r.text);
    if (r.code == 0) {
      EXPECT_LE(code, 32);
    } else {
      EXPECT_EQ(code, r.code);
    }
    EXPECT_EQ(Recorded(), r.recorded);
    if (r.code == 0 || r.code > 32) continue;
    dialogs.expectBox("Error", modShellExe::ShellErrorText(r.code), answer::OK, 16);
    EXPECT_EQ(Run(r.text, true), r.code);
  }

  // The desktop or the system refusing: 31 and 11.
  backend.openResult = false;
  dialogs.expectBox("Error", "No application is associated with this file type.", answer::OK, 16);
  EXPECT_EQ(Run("https://example.com", true), 31);
  EXPECT_EQ(Run(document), 31);
  backend.startResult = false;
  dialogs.expectBox("Error", "The executable file is invalid or corrupt", answer::OK, 16);
  EXPECT_EQ(Run(script, true), 11);
  // Only "open" is known.
  backend.clear();
  EXPECT_EQ(modShellExe::ExecuteFile(document, false, 10, QString(), QString(), "print", 0), 31);
  EXPECT_EQ(Recorded(), "none");
  EXPECT_EQ(modShellExe::ShellErrorText(33),
            "An error occurred occurred whilst trying to open or print the selected file.");
  EXPECT_FALSE(QFileInfo::exists(path("repo/zk-tool.ran")));
}

TEST_F(ResolutionTest, ParametersAreWordsForTheProgramStartedInTheGivenFolder) {
  const QString script = MakeScript("tool.sh");
  modShellExe::ExecuteFile(script, false, 10, "-a 'b c'", dir(), "open", 0);
  EXPECT_EQ(Recorded(), Start(script + "|-a|b c"));
  EXPECT_EQ(backend.requests().at(0).workingDirectory, dir());
  backend.clear();
  modShellExe::ExecuteFile(script, false, 10, "x;y $z", QString(), "open", 0);  // needs a shell: one word
  EXPECT_EQ(Recorded(), Start(script + "|x;y $z"));

  EXPECT_EQ(launch::SplitCommand("  a\t 'b c'  \"d \\\" \\$ \\x\" f\\ g '' 'it''s' '$(id);|&`*' a#b ~/x a~"),
            QStringList({"a", "b c", "d \" $ \\x", "f g", "", "its", "$(id);|&`*", "a#b", QDir::homePath() + "/x", "a~"}));
  // What only a shell could carry out is refused as a whole.
  for (const char* command : {"a; b", "a | b", "a > f", "a \"$HOME\"", "a \"`id`\"", "a `id`", "a *.txt", "a ~root", "a 'open", "a \\"})
    EXPECT_FALSE(launch::SplitCommand(QString::fromLatin1(command)).has_value()) << command;
}

// Words after a keyword: one rule for zelkar-open, the desktop's search and the window's box.
TEST_F(ResolutionTest, HostileWordsStayDataInEveryKindOfTarget) {
  const QString script = MakeScript("prog");
  const QString document = MakeFile("notes a&b.txt");
  MakeFile("plain.txt");
  const QString pwned = "$(touch pwned)";
  const struct {
    const char* keyword;
    QString target;
    QStringList words;
    std::string expected;  // "refused" for a target that takes no words
    QString typed;         // the same typed into the window's box ("" = not typed)
  } rows[] = {
      {"query", "www.example.com/?q=%s&lang=en", {"it's", pwned, "a&b=c#d", "naïve"},
       "open http://www.example.com/?q=it%27s%20%24%28touch%20pwned%29%20a%26b%3Dc%23d%20na%C3%AFve&lang=en",
       "query it's " + pwned + " a&b=c#d naïve"},
      {"programs", '"' + script + "\" --query=%s", {"a b", pwned}, Start(script + "|--query=a b $(touch pwned)"), ""},
      {"prog", script, {"a b", "&", "#c"}, Start(script + "|a b|&|#c"), "prog 'a b' \"&\" \\#c"},
      {"notes", path("notes %s.txt"), {"a&b"}, Open(document), "notes a&b"},
      {"plain", path("plain.txt"), {"more"}, "refused", "plain more"},
      {"site", "https://example.com/", {"more"}, "refused", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.keyword);
    Put(QString::fromLatin1(row.keyword) + ".exe", row.target);
    backend.clear();
    const launch::KeywordOpening opening = launch::OpenKeyword(row.keyword, row.words, backend);
    EXPECT_EQ(opening.result == launch::KeywordOpening::TakesNoArguments ? "refused" : Recorded(), row.expected);
    if (row.typed.isEmpty()) continue;
    EXPECT_EQ(launch::RefusedWords(row.typed).has_value(), row.expected == "refused");
    EXPECT_EQ(Launch(row.typed), row.expected == "refused" ? "failed none" : row.expected);
  }
}

// The window's commands that run a node, its folder, the target and help.
TEST_F(ResolutionTest, RunCommandsOfTheWindow) {
  const QString folder = path("Music");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString song = MakeFile("Music/song.ogg");
  Put("song.exe", song);
  Put("music.exe", folder);
  Put("site.exe", "www.example.com/Page");
  Put("edited.exe", MakeFile("decoy.txt"));
  auto f = Window();
  ScriptedDialogs dialogs;
  const struct {
    const char* keyword;  // "": the root
    int offset;           // 1: its target node
    QAction* command;
    std::string recorded;
  } rows[] = {
      {"site.exe", 0, f->mnuKWR, "open http://www.example.com/Page"},  // the address, never the keyword's name
      {"song.exe", 1, f->mnuHOCF, Open(folder)},  // the node's own text
      {"", 0, f->mnuHideRun, "none"},  // nothing runs on the root
      {"", 0, f->mnuHRB, "open mailto:support@orbrin.example?Subject=Found%20a%20bug..."},
  };
  const auto on = [&](const QString& keyword, int offset, QAction* command) {
    backend.clear();
    const int node = keyword.isEmpty() ? 1 : Node(*f, keyword) + offset;
    if (node > 1) f->tvw_NodeClick(node);
    f->tvw->Select(node);
    command->trigger();
    return Recorded();
  };
  for (const auto& r : rows) EXPECT_EQ(on(r.keyword, r.offset, r.command), r.recorded) << r.keyword;
  f->lblPath->setCaption(song);
  EXPECT_EQ(on("", 0, f->mnuTR), Open(song));
  EXPECT_EQ(modShellExe::MailAddress("a@b.example", "S 1", "B, 2!", "c@d", "e@f"),
            "mailto:a@b.example?Subject=S 1&Body=B, 2!&CC=c@d&BCC=e@f");  // the values as written
  backend.openResult = false;  // no browser: Update stays silent
  EXPECT_EQ(on("", 0, f->mnuHU), "open https://orbrin.example/zelkar");

  // Words typed after a keyword whose target takes none are refused with a box.
  dialogs.expectBox("Error", "The keyword 'music' opens " + folder + ", which takes no words. Put %s in its target "
                    "where the words go.", answer::OK, 16);
  f->txtExe->setText("music some jazz");
  f->cmdRunTxt_Click();

  // A broken keyword may be deleted, under its registered name.
  QFile::remove(song);
  dialogs.expectBox("Error", "File not found", answer::OK, 16);
  EXPECT_EQ(on("song.exe", 0, f->mnuHOCF), "none");
  const QString broken = "The keyword has a broken target and cannot be launched. Would you like to delete the keyword?";
  dialogs.expectBox("Delete Broken Keyword?", broken, answer::No, 52);
  on("song.exe", 0, f->mnuKWR);
  EXPECT_TRUE(Has("song.exe"));
  const int node = Node(*f, "song.exe");
  f->tvw->SetText(node, "edited.exe");  // as an unfinished rename leaves it
  f->tvw->SetForeColor(node, colour::Red);
  f->tvw->SetTag(node, "song.exe");
  dialogs.expectBox("Delete Broken Keyword?", broken, answer::Yes, 52);
  dialogs.expectBoxTitled("Unregistered Keyword", answer::No);  // asked by the reload
  f->cmdRun_Click();
  EXPECT_FALSE(Has("song.exe"));
  EXPECT_TRUE(Has("edited.exe"));
  EXPECT_EQ(Recorded(), "none");
}

}  // namespace
}  // namespace zelkar::test

// zelkar-search as KRunner and GNOME Shell call it, on a session bus of its own
// that starts the service the way `zelkar-open --desktop on` registered it.
#include "support/WindowTest.h"

#include "launch/core/DesktopSetup.h"

#include <QDir>

namespace zelkar::test {
namespace {

class SearchTest : public WindowTest {
 protected:
  // Each call's reply on a line of its own, from one bus session; "$0" is zelkar-reg.
  Ran Session(const QStringList& calls, const QProcessEnvironment& env) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("home/.config")));
    EXPECT_EQ(RunProgram(ZELKAR_OPEN_BINARY, {"--desktop", "on"}).code, 0);
    if (config.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", config);
    const QString gdbus = "gdbus call --session --dest " + launch::kSearchBusName + " --object-path " +
                          launch::kSearchObjectPath + " --method ";
    return RunProgram("dbus-run-session", {"--", "sh", "-c", gdbus + calls.join("\n" + gdbus), ZELKAR_REG_BINARY}, env);
  }
};

TEST_F(SearchTest, KRunnerAndGnomeListRankAndOpenKeywordsFromTheStoreAsItIsNow) {
  ASSERT_TRUE(QDir().mkpath(path("bin")));
  const QString opener = MakeRecorder("bin/xdg-open");
  const QString pad = MakeRecorder("pad");
  const QString notes = MakeFile("notes.txt");
  Put("No.exe", dir());
  Put("notes.exe", notes);
  Put("notepad.exe", pad);
  Put("wiki.exe", "https://en.wikipedia.org/wiki/%s");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("PATH", path("bin") + u':' + env.value("PATH"));
  const Ran ran = Session({"org.kde.krunner1.Match no", "org.kde.krunner1.Match 'wiki linux kernel'",
                           "org.kde.krunner1.Match 'wik linux'",  // words follow a whole keyword only
                           "org.kde.krunner1.Run 'wiki linux kernel' ''",
                           "org.kde.krunner1.Run 'notes more' ''",  // a document takes no words
                           "org.gnome.Shell.SearchProvider2.GetInitialResultSet \"['NOTE']\"",
                           "org.gnome.Shell.SearchProvider2.GetSubsearchResultSet \"['notes', 'notepad']\" \"['notep']\"",
                           "org.gnome.Shell.SearchProvider2.GetResultMetas \"['notes', 'gone']\"",
                           "org.gnome.Shell.SearchProvider2.ActivateResult notepad \"['notep', 'a b', '\\$(x)']\" 0",
                           "org.kde.krunner1.Match nov; \"$0\" add '" + kAppPathsFull + "nova.exe' --default --data /; " +
                               "gdbus call --session --dest " + launch::kSearchBusName + " --object-path " +
                               launch::kSearchObjectPath + " --method org.kde.krunner1.Match nov"},  // no stale list
                          env);
  const QStringList lines = ran.out.split('\n');
  ASSERT_EQ(lines.size(), 12) << qPrintable(ran.out + ran.err);
  const auto match = [](const QString& name, const char* icon, const char* rank, const QString& target) {
    return "('" + name + "', '" + name + "', '" + icon + "', " + rank + ", {'category': <'Zelkar keywords'>, 'subtext': <'" +
           target + "'>})";
  };
  EXPECT_EQ(lines[0], "([" + match("no", "folder", "100, 1.0", dir()) + ", " +
                          match("notes", "text-plain", "30, 0.66000000000000003", notes) + ", " +
                          match("notepad", "application-x-executable", "30, 0.61428571428571432", pad) + "],)");
  EXPECT_EQ(lines[1], "([" + match("wiki linux kernel", "text-html", "100, 1.0", "https://en.wikipedia.org/wiki/%s") + "],)");
  EXPECT_EQ(lines[2], "(@a(sssida{sv}) [],)");
  EXPECT_EQ(lines[5], "(['notes', 'notepad'],)");
  EXPECT_EQ(lines[6], "(['notepad'],)");
  EXPECT_EQ(lines[7], "([{'clipboardText': <'" + notes + "'>, 'description': <'" + notes +
                          "'>, 'gicon': <'text-plain'>, 'id': <'notes'>, 'name': <'notes'>}],)");
  EXPECT_EQ(lines[9], "(@a(sssida{sv}) [],)");  // before nova.exe is added
  EXPECT_EQ(lines[10], "([" + match("nova", "folder", "30, 0.80000000000000004", "/") + "],)");
  EXPECT_EQ(ArgsOf(pad), (QStringList{pad, "a b", "$(x)"}));
  EXPECT_EQ(ArgsOf(opener), (QStringList{opener, "https://en.wikipedia.org/wiki/linux%20kernel"}));
  EXPECT_TRUE(ArgsOf(opener, 500).isEmpty());
}

TEST_F(SearchTest, AServiceStartedBeforeItsStoreExistsSeesTheStoreOnceItIsMade) {
  QProcessEnvironment later = QProcessEnvironment::systemEnvironment();
  later.insert("ZELKAR_REGISTRY", path("later"));
  const Ran fresh = Session({"org.kde.krunner1.Match late; \"$0\" add '" + kAppPathsFull + "late.exe' --default --data /",
                             "org.kde.krunner1.Match late"}, later);
  EXPECT_TRUE(fresh.out.startsWith("(@a(sssida{sv}) [],)\n([('late', 'late', 'folder', 100")) << qPrintable(fresh.out + fresh.err);
}

}  // namespace
}  // namespace zelkar::test

#include "LaunchTest.h"

#include <QStandardPaths>

#include <unistd.h>

namespace zelkar::test {
namespace {

class OrderTest : public LaunchTest {
 protected:
  const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
};

TEST_F(OrderTest, InternetAddressesGoToTheDesktop) {
  Put(QStringLiteral("www.example.com.exe"), MakeFile(QStringLiteral("decoy.txt")));  // never looked up
  EXPECT_EQ(Launch(QStringLiteral("http://example.com/a b?q=1")), "open http://example.com/a%20b?q=1");
  EXPECT_EQ(Launch(QStringLiteral("https://example.com/x")), "open https://example.com/x");
  EXPECT_EQ(Launch(QStringLiteral("www.example.com")), "open http://www.example.com");
  EXPECT_EQ(Launch(QStringLiteral("HTTP://Example.com/Case")), "open http://example.com/Case");
  EXPECT_EQ(Launch(QStringLiteral("mailto:a@b.example")), "open mailto:a@b.example");
  backend.openResult = false;
  EXPECT_EQ(Run(QStringLiteral("https://example.com")), 31);
}

TEST_F(OrderTest, KeywordNamesResolveToTheirTargets) {
  const QString document = MakeFile(QStringLiteral("notes.txt"));
  Put(QStringLiteral("Notes.exe"), document);
  for (const char* name : {"notes", "NOTES", "notes.exe", "nOtEs.ExE"})
    EXPECT_EQ(Launch(QString::fromLatin1(name)), Open(document)) << name;

  const QString folder = path(QStringLiteral("docs"));
  ASSERT_TRUE(QDir().mkpath(folder));
  Put(QStringLiteral("docs.exe"), folder);
  EXPECT_EQ(Launch(QStringLiteral("docs")), Open(folder));
  const QString script = MakeScript(QStringLiteral("tool.sh"));
  Put(QStringLiteral("tool.exe"), QStringLiteral("\"") + script + QStringLiteral("\""));  // not yet normalised
  EXPECT_EQ(Launch(QStringLiteral("tool")), Start(script));
  Put(QStringLiteral("site.exe"), QStringLiteral("www.example.com/page"));
  EXPECT_EQ(Launch(QStringLiteral("site.exe")), "open http://www.example.com/page");
  Put(QStringLiteral("sh.exe"), document);  // a keyword comes before PATH
  EXPECT_EQ(Launch(QStringLiteral("sh")), Open(document));
}

TEST_F(OrderTest, AMissingEntryOrTargetAnswersFileNotFound) {
  EXPECT_EQ(Run(QStringLiteral("nosuchkeyword")), 2);
  Put(QStringLiteral("gone.exe"), path(QStringLiteral("gone.txt")));
  EXPECT_EQ(Run(QStringLiteral("gone")), 2);
  Put(QStringLiteral("deep.exe"), path(QStringLiteral("no/folder/app")));  // 2, not 3: the keyword is broken
  EXPECT_EQ(Run(QStringLiteral("deep.exe")), 2);
  Put(QStringLiteral("sh.exe"), path(QStringLiteral("removed")));  // no fall-back to the program on PATH
  EXPECT_EQ(Run(QStringLiteral("sh")), 2);
  EXPECT_EQ(Recorded(), "none");
  Put(QStringLiteral("sh.exe"), QString());  // an empty entry is no keyword
  EXPECT_EQ(Launch(QStringLiteral("sh")), Start(sh));
}

TEST_F(OrderTest, PathsOpenByWhatTheyName) {
  const QString folder = path(QStringLiteral("My Folder"));
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_EQ(Launch(folder + QStringLiteral("/")), Open(folder));
  const QString script = MakeScript(QStringLiteral("go.sh"));
  EXPECT_EQ(Launch(script), Start(script));
  const QString marked = MakeFile(QStringLiteral("readme.txt"), "plain text");  // the execute bit alone
  QFile::setPermissions(marked, QFile::permissions(marked) | QFile::ExeOwner);
  EXPECT_EQ(Launch(marked), Open(marked));
  const QString inHome = MakeFile(QStringLiteral("home/todo.txt"));
  EXPECT_EQ(Launch(QStringLiteral("~/todo.txt")), Open(inHome));
  EXPECT_EQ(Launch(QStringLiteral("sh")), Start(sh));

  EXPECT_EQ(Run(path(QStringLiteral("missing.txt"))), 2);
  EXPECT_EQ(Run(path(QStringLiteral("nowhere/missing.txt"))), 3);
  EXPECT_EQ(Run(QStringLiteral("no-such-program-zk")), 2);
  EXPECT_EQ(Run(QString()), 2);
  if (::geteuid() != 0) {  // the superuser reads everything
    QFile::setPermissions(marked, QFileDevice::Permissions());
    EXPECT_EQ(Run(marked), 5);
  }
  backend.startResult = false;
  EXPECT_EQ(Run(script), 11);
}

}  // namespace
}  // namespace zelkar::test

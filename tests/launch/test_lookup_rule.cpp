// The current folder never supplies a target: a bare name is a program on
// PATH, and a relative path names nothing, in the window and in zelkar-open.
#include "support/WindowTest.h"

#include "launch/core/KeywordOpen.h"

#include <QFileInfo>

namespace zelkar::test {
namespace {

using launch::KeywordOpening;

using LookupRuleTest = WindowTest;

TEST_F(LookupRuleTest, TheCurrentFolderNeverSuppliesATarget) {
  // A cloned repository with scripts named like programs and keywords.
  const QString repo = path(QStringLiteral("repo"));
  ASSERT_TRUE(QDir().mkpath(repo + QStringLiteral("/sub")));
  for (const char* name : {"repo/zk-tool", "repo/sub/zk-tool", "repo/-e", "repo/notes.txt"})
    MakeScript(QString::fromLatin1(name), "touch \"$0.ran\"\n");
  const CurrentFolder here(repo);

  struct Row {
    const char* text;  // typed into the window, and stored as a keyword's target
    KeywordOpening::Result opening;
  };
  const Row rows[] = {
      {"zk-tool", KeywordOpening::Broken},
      {"-e", KeywordOpening::Broken},
      {"notes.txt", KeywordOpening::Broken},
      {"sub/zk-tool", KeywordOpening::RelativeTarget},
      {"./zk-tool", KeywordOpening::RelativeTarget},
      {"../repo/zk-tool", KeywordOpening::RelativeTarget},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const QString text = QString::fromLatin1(row.text);
    EXPECT_EQ(Launch(text), "failed none");
    EXPECT_NE(KindOfTarget(text), TargetKind::File);  // the tree agrees
    Put(QStringLiteral("kw.exe"), text);
    EXPECT_EQ(Launch(QStringLiteral("kw")), "failed none");
    EXPECT_EQ(launch::OpenKeyword(QStringLiteral("kw"), {}, backend).result, row.opening);
    EXPECT_EQ(Recorded(), "none");
  }

  // The command line says why, from the repository's folder, and runs nothing.
  Put(QStringLiteral("kw.exe"), QStringLiteral("sub/zk-tool"));
  const Ran ran = RunProgram(QStringLiteral(ZELKAR_OPEN_BINARY), {QStringLiteral("--command-not-found"),
                                                                  QStringLiteral("kw")},
                             QProcessEnvironment::systemEnvironment(), repo);
  EXPECT_EQ(ran.code, 2);
  EXPECT_TRUE(ran.err.contains(QLatin1String("a target is an absolute path, a program name on PATH"))) << qPrintable(ran.err);
  Put(QStringLiteral("kw.exe"), QStringLiteral("zk-tool"));
  EXPECT_EQ(RunProgram(QStringLiteral(ZELKAR_OPEN_BINARY), {QStringLiteral("kw")},
                       QProcessEnvironment::systemEnvironment(), repo).code, 2);
  for (const char* name : {"repo/zk-tool", "repo/sub/zk-tool", "repo/-e", "repo/notes.txt"})
    EXPECT_FALSE(QFileInfo::exists(path(QString::fromLatin1(name) + QStringLiteral(".ran")))) << name;
}

}  // namespace
}  // namespace zelkar::test

// Backup files: a value can hold anything, yet never forge another entry or
// section, never name a file to write, and never leave App Paths.
#include <QDirIterator>
#include <set>

#include "backup/core/modINI.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

class BackupValuesTest : public BackupTest {
 protected:
  // Every key of a hive, by its path as stored, with its default value.
  std::map<QString, QString> AllKeys(store::Hive hive, const QString& under = QString()) {
    std::map<QString, QString> all;
    for (const QString& name : store().subkeys(hive, under)) {
      const QString key = under.isEmpty() ? name : under + u'\\' + name;
      all[key] = modRegEdit::GetString(hive, key, QString(), QString());
      all.merge(AllKeys(hive, key));
    }
    return all;
  }
  // The test's files, the store's own left out.
  std::set<QString> Files() const {
    std::set<QString> files;
    for (QDirIterator it(dir(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();)
      if (const QString f = it.next(); !f.startsWith(path("registry"))) files.insert(f);
    return files;
  }
};

TEST_F(BackupValuesTest, LineBreaksInNamesAndTargetsCannotForgeEntriesOrSections) {
  const QString longTarget = "/" + QString(100000, u'l') + "\n[Count]\nKeywords=0";
  Put("plain.exe", "/bin/plain");
  Put("two\r\n[Count]\r\nKeywords=999.exe", "/t\n[Targets]\n1=/bin/evil");
  Put("three.exe", "[Keywords]");
  Put("four.exe", "/a\r2=/bin/evil\n[Zelkar]\nVersion=1\n[Keywords]\n9=evil.exe");
  Put("long.exe", longTarget);
  auto form = Window();
  const QString file = path("saved.zkb");
  ScriptedDialogs dialogs;
  dialogs.expectSave(file);
  ASSERT_TRUE(form->SaveList());

  QStringList headers;
  for (const QByteArray& line : Bytes(file).split('\n'))
    if (line.trimmed().startsWith('[')) headers << QString::fromUtf8(line.trimmed());
  EXPECT_EQ(headers, (QStringList{"[Zelkar]", "[Keywords]", "[Targets]", "[Count]"}));
  EXPECT_EQ(modINI::ReadINI("Count", "Keywords", file), "5");
  EXPECT_EQ(modINI::ReadINI("Zelkar", "Version", file), "18");
  EXPECT_EQ(modINI::ReadINI("Keywords", "9", file), "");

  // Loaded back: the same five entries, each line break now a blank.
  ExpectLoadQuestion(dialogs, file, answer::Yes);
  ASSERT_TRUE(form->LoadList(file));
  EXPECT_EQ(Registered(), (Keywords{{"plain.exe", "/bin/plain"},
                                    {"two  [count]  keywords=999.exe", "/t [Targets] 1=/bin/evil"},
                                    {"three.exe", "[Keywords]"},
                                    {"four.exe", "/a 2=/bin/evil [Zelkar] Version=1 [Keywords] 9=evil.exe"},
                                    {"long.exe", longTarget.left(254)}}));
  EXPECT_TRUE(backend.requests().empty());
}

TEST_F(BackupValuesTest, KeywordNamesThatLookLikePathsStayKeysUnderAppPaths) {
  const QString probe = QStringLiteral("zk-security-probe-%1.exe").arg(QCoreApplication::applicationPid());
  const QString file = Write("paths.zkb", ("[Zelkar]\nVersion=18\n[Keywords]\n"
                                           "1=../../../../../../../../tmp/" +
                                           probe +
                                           "\n"
                                           "2=..\\..\\..\\..\\..\\Orbrin\\Zelkar\\MRU\n"
                                           "3=" +
                                           dir() +
                                           "/written.exe\n"
                                           "4=\\..\\..\\..\\..\\..\\Classes\\.zkb\n"
                                           "[Targets]\n1=/bin/a\n2=/bin/b\n3=/bin/c\n4=/bin/d\n"
                                           "[Count]\nKeywords=4\n")
                                              .toUtf8());
  Put("kept.exe", "/bin/kept");
  auto form = Window();
  modRegEdit::SaveString(store::Hive::CurrentUser, kSettingsKey + "\\MRU", "0", "/kept.zkb");
  const auto machineBefore = AllKeys(store::Hive::LocalMachine);
  const auto userBefore = AllKeys(store::Hive::CurrentUser);
  const std::set<QString> filesBefore = Files();

  ScriptedDialogs dialogs;
  ASSERT_TRUE(form->ImportList(file));

  // "/" and ".." are ordinary characters of a key name; only "\" separates
  // keys, and then every key it makes lies below App Paths.
  auto machineAfter = AllKeys(store::Hive::LocalMachine);
  std::map<QString, QString> added;
  for (auto it = machineAfter.begin(); it != machineAfter.end();) {
    if (machineBefore.count(it->first)) {
      ++it;
      continue;
    }
    EXPECT_TRUE(it->first.startsWith(kAppPathsKey)) << qPrintable(it->first);
    added.insert(machineAfter.extract(it++));
  }
  EXPECT_EQ(machineAfter, machineBefore);
  EXPECT_EQ(added.at(kAppPathsKey + "../../../../../../../../tmp/" + probe), "/bin/a");
  EXPECT_EQ(added.at(kAppPathsKey + "..\\..\\..\\..\\..\\Orbrin\\Zelkar\\MRU"), "/bin/b");
  EXPECT_EQ(added.at(kAppPathsKey + dir() + "/written.exe"), "/bin/c");
  EXPECT_EQ(added.at(kAppPathsKey + "..\\..\\..\\..\\..\\Classes\\.zkb"), "/bin/d");
  EXPECT_EQ(AllKeys(store::Hive::CurrentUser), userBefore);
  EXPECT_EQ(Slots().at(0), "/kept.zkb");

  EXPECT_EQ(Files(), filesBefore);
  EXPECT_FALSE(QFileInfo::exists("/tmp/" + probe));
  EXPECT_TRUE(backend.requests().empty());
}

}  // namespace
}  // namespace zelkar::test

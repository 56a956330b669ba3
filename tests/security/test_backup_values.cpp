// Backup files: a value can hold anything, yet never forge another entry or
// section, never name a file to write, and never leave App Paths.
#include <QDirIterator>
#include <QRegularExpression>

#include "backup/core/modINI.h"
#include "support/BackupTest.h"

namespace zelkar::test {
namespace {

using BackupValuesTest = BackupTest;

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

  // Loaded back: the same five entries, each line break now a blank.
  ExpectLoadQuestion(dialogs, file, answer::Yes);
  ASSERT_TRUE(form->LoadList(file));
  EXPECT_EQ(Registered(), (Keywords{{"plain.exe", "/bin/plain"},
                                    {"two  [count]  keywords=999.exe", "/t [Targets] 1=/bin/evil"},
                                    {"three.exe", "[Keywords]"},
                                    {"four.exe", "/a 2=/bin/evil [Zelkar] Version=1 [Keywords] 9=evil.exe"},
                                    {"long.exe", longTarget.left(254)}}));
}

TEST_F(BackupValuesTest, KeywordNamesThatLookLikePathsStayKeysUnderAppPaths) {
  // "/" and ".." are ordinary characters of a key name; only "\" separates
  // keys, and then every key it makes lies below App Paths.
  const QString probe = QStringLiteral("zk-security-probe-%1.exe").arg(QCoreApplication::applicationPid());
  const QStringList names = {"../../../../../../../../tmp/" + probe, "..\\..\\..\\..\\..\\Orbrin\\Zelkar\\MRU",
                             dir() + "/written.exe", "\\..\\..\\..\\..\\..\\Classes\\.zkb"};
  QByteArray keywords, targets;
  for (int i = 0; i < 4; ++i) {
    keywords += QByteArray::number(i + 1) + '=' + names[i].toUtf8() + '\n';
    targets += QByteArray::number(i + 1) + "=/bin/" + char('a' + i) + '\n';
  }
  const QString file = Write("paths.zkb", "[Zelkar]\nVersion=18\n[Keywords]\n" + keywords + "[Targets]\n" + targets +
                                              "[Count]\nKeywords=4\n");
  // Every key of a hive, by its path as stored, with its default value.
  const auto all = [this](store::Hive hive) {
    std::map<QString, QString> keys;
    const auto add = [&](const auto& self, const QString& under) -> void {
      for (const QString& name : store().subkeys(hive, under)) {
        const QString key = under.isEmpty() ? name : under + u'\\' + name;
        keys[key] = modRegEdit::GetString(hive, key, QString(), QString());
        self(self, key);
      }
    };
    add(add, QString());
    return keys;
  };
  const auto files = [this] {
    QStringList found;
    for (QDirIterator it(dir(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                         QDirIterator::Subdirectories); it.hasNext();)
      if (const QString f = it.next(); !f.startsWith(path("registry"))) found << f;
    return found;
  };
  Put("kept.exe", "/bin/kept");
  SetSlot(0, "/kept.zkb");
  auto form = Window();
  const auto machine = all(store::Hive::LocalMachine);
  const auto user = all(store::Hive::CurrentUser);
  const QStringList filesBefore = files();
  ScriptedDialogs dialogs;
  ASSERT_TRUE(form->ImportList(file));

  auto after = all(store::Hive::LocalMachine);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(after[kAppPathsKey + QString(names[i]).remove(QRegularExpression("^\\\\"))], QString("/bin/") + QChar(u'a' + i));
  std::erase_if(after, [&](const auto& entry) {
    EXPECT_TRUE(machine.count(entry.first) || entry.first.startsWith(kAppPathsKey)) << entry.first.toStdString();
    return !machine.count(entry.first);
  });
  EXPECT_EQ(after, machine);
  EXPECT_EQ(all(store::Hive::CurrentUser), user);
  EXPECT_EQ(files(), filesBefore);
  EXPECT_FALSE(QFileInfo::exists("/tmp/" + probe));
  EXPECT_TRUE(backend.requests().empty());
}

}  // namespace
}  // namespace zelkar::test

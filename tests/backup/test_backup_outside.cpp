// Files from outside: pipes, devices and huge files where a backup or a
// shortcut is expected, other line ends, and counts past 16 bits.
#include "support/BackupTest.h"

#include "app/Controls.h"

#include <sys/stat.h>

namespace zelkar::test {
namespace {

enum class Kind { Pipe, Device, Huge };
enum class Way { DropOnTarget, DropOnTree, LoadDialog, ImportDialog, CommandLineImport };

struct SpecialCase {
  Kind kind;
  Way way;
};

std::string CaseName(const ::testing::TestParamInfo<SpecialCase>& info) {
  static const char* const kinds[] = {"Pipe", "LinkToDevZero", "Huge"};
  static const char* const ways[] = {"DroppedOnTarget", "DroppedOnTree", "LoadDialog", "ImportDialog",
                                     "CommandLineImport"};
  return std::string(kinds[int(info.param.kind)]) + ways[int(info.param.way)];
}

class SpecialFileTest : public BackupTest, public ::testing::WithParamInterface<SpecialCase> {};

TEST_P(SpecialFileTest, IsNeverReadAndSaysWhy) {
  const auto [kind, way] = GetParam();
  const bool shortcut = way == Way::DropOnTarget;
  const QString file = path(shortcut ? "odd.url" : "odd.zkb");
  const QByteArray text = shortcut ? "[InternetShortcut]\r\nURL=http://big.example/\r\n"
                                   : "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n1=big.exe\r\n[Targets]\r\n1=/big\r\n"
                                     "[Count]\r\nKeywords=1\r\n";
  switch (kind) {
    case Kind::Pipe:  // no writer ever comes: a reader that waits for one hangs
      ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
      break;
    case Kind::Device:
      ASSERT_TRUE(QFile::link("/dev/zero", file));
      break;
    case Kind::Huge: {
      QFile huge(file);
      ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
      huge.write(text);
      // A byte more than a shortcut or a backup file ever has; sparse, so it costs no disk.
      ASSERT_TRUE(huge.resize((shortcut ? 64 << 10 : 64 << 20) + 1));
      break;
    }
  }
  Put("keep.exe", "/usr/bin/keep");
  const auto form = std::make_unique<frmMain>(file + " -I");
  form->LoadTVW(false);
  ScriptedDialogs dialogs;
  const QString why = kind == Kind::Huge ? "File too large (more than 64 MiB)" : "Not a regular file";
  const auto expectRefusal = [&](const QString& verb) {
    dialogs.expectBox("Error", "Zelkar cannot " + verb + " '" + file + "':\r\n" + why + ".", answer::OK, 16);
  };
  QMimeData dropped;
  dropped.setUrls({QUrl::fromLocalFile(file)});
  switch (way) {
    case Way::DropOnTarget:
      form->lblPath->setCaption("/usr/bin/before");
      form->fraTarget_OLEDragDrop(&dropped);
      EXPECT_EQ(form->lblPath->caption(), "/usr/bin/before");
      break;
    case Way::DropOnTree:
      ExpectLoadQuestion(dialogs, file, answer::Yes);
      expectRefusal("load");
      form->tvw_OLEDragDrop(&dropped);
      break;
    case Way::LoadDialog:
      dialogs.expectOpen(file);
      ExpectLoadQuestion(dialogs, file, answer::Yes);
      expectRefusal("load");
      EXPECT_FALSE(form->LoadList(QString()));
      break;
    case Way::ImportDialog:
      dialogs.expectOpen(file);
      expectRefusal("import");
      EXPECT_FALSE(form->ImportList(QString()));
      break;
    case Way::CommandLineImport:
      dialogs.expectBox("Import?", "Import keywords from '" + file + "'?", answer::Yes, kAsk);
      expectRefusal("import");
      form->DoCommandLine();
      break;
  }
  EXPECT_EQ(Registered(), (Keywords{{"keep.exe", "/usr/bin/keep"}}));
}

std::vector<SpecialCase> AllSpecialCases() {
  std::vector<SpecialCase> cases;
  for (const Kind kind : {Kind::Pipe, Kind::Device, Kind::Huge})
    for (const Way way : {Way::DropOnTarget, Way::DropOnTree, Way::LoadDialog, Way::ImportDialog,
                          Way::CommandLineImport})
      cases.push_back({kind, way});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Outside, SpecialFileTest, ::testing::ValuesIn(AllSpecialCases()), CaseName);

class OutsideBackupTest : public BackupTest {};

TEST_F(OutsideBackupTest, EveryLineEndLoads) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(QByteArray(eol).toHex().toStdString());
    const QByteArray current = QByteArray("[Zelkar]|Version=18|[Keywords]|1=one.exe|2=two.exe|[Targets]|1=/one|"
                                          "2=/two|[Count]|Keywords=2|")
                                   .replace('|', eol);
    const QByteArray old = QByteArray("\"one.exe\",\"/one\"|two.exe, /two|").replace('|', eol);
    for (const QByteArray& bytes : {current, old}) {
      const QString file = Write("eol.zkb", bytes);
      ScriptedDialogs dialogs;
      ExpectLoadQuestion(dialogs, file, answer::Yes);
      if (bytes == old) dialogs.expectBoxTitled("Format Error", answer::Yes);
      std::unique_ptr<frmMain> form = Window();
      EXPECT_TRUE(form->LoadList(file));
      EXPECT_EQ(Registered(), (Keywords{{"one.exe", "/one"}, {"two.exe", "/two"}}));
    }
  }
}

TEST_F(OutsideBackupTest, CountsPastSixteenBitsLoad) {
  struct Row {
    const char* count;
    Keywords loaded;  // nothing: the count cannot be read, and says so
  };
  const Keywords all{{"first.exe", "/1"}, {"last.exe", "/40000"}};
  for (const Row& row : {Row{"40000", all}, Row{"32768", {{"first.exe", "/1"}}}, Row{"2147483647", all},
                         Row{"2147483648", {}}}) {
    SCOPED_TRACE(row.count);
    const QString file = Write("many.zkb", QByteArray("[Zelkar]\nVersion=18\n[Keywords]\n1=first.exe\n40000=last.exe\n"
                                                      "[Targets]\n1=/1\n40000=/40000\n[Count]\nKeywords=") +
                                               row.count + "\n");
    Put("keep.exe", "/usr/bin/keep");
    const Keywords before = Registered();
    std::unique_ptr<frmMain> form = Window();
    ScriptedDialogs dialogs;
    ExpectLoadQuestion(dialogs, file, answer::Yes);
    if (row.loaded.empty())
      dialogs.expectBox("Error",
                        "Zelkar cannot load '" + file + "':\r\nits count of keywords (" + row.count +
                            ") lies beyond what Zelkar can read (2147483647).",
                        answer::OK, 16);
    EXPECT_EQ(form->LoadList(file), !row.loaded.empty());
    EXPECT_EQ(Registered(), row.loaded.empty() ? before : row.loaded);
  }
}

}  // namespace
}  // namespace zelkar::test

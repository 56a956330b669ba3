// Registering, renaming and deleting keywords, and choosing their targets:
// drops, file and folder dialogs, the internet address window.
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QStringListModel>
#include <QTreeWidget>

#include "edit/frmURL.h"
#include "support/LabelEdit.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using KeywordsTest = WindowTest;

TEST_F(KeywordsTest, RegisterFixesTheNameAddsTheSuffixAndAsksBeforeOverwriting) {
  Put("x.exe", "/old");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath->setCaption("/opt/t");
  dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
  f->txtExe->setText("a:b|c d");
  f->cmdSave_Click();  // the name is corrected; the second press registers it
  EXPECT_EQ(Keys(), QStringList{"x.exe"});
  f->cmdSave_Click();
  for (const char* typed : {"Calc.EXE", "tool.ex"}) {
    f->txtExe->setText(typed);
    f->cmdSave_Click();
  }
  EXPECT_EQ(Keys(), (QStringList{"a_b_c_d.exe", "Calc.EXE", "tool.ex.exe", "x.exe"}));

  f->lblPath->setCaption("/new");
  for (const int answer : {answer::No, answer::Yes}) {
    dialogs.expectBox("Overwrite?", "This keyword is already registered, would you like to overwrite it?", answer, 308);
    f->txtExe->setText("x");
    f->cmdSave_Click();
  }
  EXPECT_EQ(TargetOf("x.exe"), "/new");
}

TEST_F(KeywordsTest, RenameIsRememberedInRedUntilRegisteredOrRestored) {
  Put("a.exe", "/a");
  Put("c_d.exe", "/old-c");
  Put("web.exe", "http://example.org");
  auto f = Window();
  ScriptedDialogs dialogs;
  // Only the last name counts; the tag keeps the registered one. The new name
  // is taken by another keyword, which the completion selects while the editor is open.
  RenameByLabelEdit(*f, 2, "b");
  dialogs.expectBox("Error", ForbiddenKeywordCharsMessage(), answer::OK, 16);
  RenameByLabelEdit(*f, 2, "c d");
  EXPECT_EQ(f->tvw->Text(2) + f->tvw->Tag(2), "c_d.exea.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
  // Register with the box naming the red node (any case) replaces c_d.exe without asking.
  f->tvw->Select(2);
  f->txtExe->setText("C_D.EXE");
  f->cmdSave_Click();
  EXPECT_EQ(Keys(), (QStringList{"c_d.exe", "web.exe"}));
  EXPECT_EQ(TargetOf("c_d.exe"), "/a");

  // A change of case only, from the target node, changes nothing.
  RenameByLabelEdit(*f, 3, "C_d");
  EXPECT_EQ(f->tvw->Text(2), "C_d.exe");
  EXPECT_EQ(f->tvw->ForeColor(2), colour::Black);

  // A marked keyword warns; Restore gives the name back.
  f->tvw->SetForeColor(4, colour::Blue);
  dialogs.expectBox("Renaming Marked Keyword",
                    "This keyword is marked for exportation. It will be unmarked if you choose to rename it.",
                    answer::OK, 64);
  RenameByLabelEdit(*f, 4, "site");
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Red);
  f->tvw->Select(4);
  f->mnuRHRestore_Click();
  EXPECT_EQ(f->tvw->ForeColor(4), colour::Black);
  // An empty label is refused; a plain node has no rename to register.
  RenameByLabelEdit(*f, 4, QString());
  f->mnuRHRegister_Click();
  EXPECT_EQ(f->tvw->Text(4), "web.exe");
}

TEST_F(KeywordsTest, DeleteAsksThenSelectsTheNeighbourAndTakesARenamedKeywordsEntry) {
  for (const QString kw : {"notepad.exe", "other.exe", "zeta.exe"}) Put(kw, "/opt/" + kw);
  auto f = Window();
  ScriptedDialogs dialogs;
  const auto remove = [&](int node, const QString& name, int answer) {
    dialogs.expectBox("Delete " + name.toUpper() + "?",
                      "Are you sure you want to delete the keyword '" + name + "' from Windows?", answer, 308);
    f->tvw->Select(node);
    f->cmdDelete_Click();
    return f->txtExe->text();
  };
  EXPECT_EQ(remove(3, "notepad", answer::No), "");  // from its target node
  EXPECT_EQ(remove(3, "notepad", answer::Yes), "other.exe");  // the one that followed
  EXPECT_EQ(remove(4, "zeta", answer::Yes), "other.exe");     // the last one: the one before it
  // A keyword renamed onto another's name: its registered entry goes, without a question about it.
  Put("calc.exe", "/c");
  f->LoadTVW(false);
  f->tvw->SetText(2, "other.exe");
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "calc.exe");
  remove(2, "calc", answer::Yes);
  EXPECT_EQ(Keys(), QStringList{"other.exe"});
  EXPECT_EQ(remove(2, "other", answer::Yes), "");  // the only one: the root
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

TEST_F(KeywordsTest, CleanUpDeletesOnlyMissingFilesAndDeleteAllGoesByTheCount) {
  auto f = Window();
  ScriptedDialogs dialogs;
  dialogs.expectBox("Delete All", "There are no keywords to delete", answer::OK, 48);
  f->mnuKWDA_Click();
  Put("file.exe", MakeFile("present.txt"));
  f->LoadTVW(false);
  dialogs.expectBox("Delete Keyword?", "Would you like to delete the only keyword?", answer::No, 308);
  f->mnuKWDA_Click();
  Put("web.exe", "http://example.org/a.html");
  Put("gone.exe", path("missing.txt"));
  Put("dir.exe", path("no/such/folder"));
  Put("bare.exe", "someprogram.bin");
  f->LoadTVW(false);
  dialogs.expectBox("Warning", "This will delete all keywords with broken targets.\r\nWould you like to proceed?",
                    answer::Yes, 308);
  f->mnuKWCU_Click();
  EXPECT_EQ(Keys(), (QStringList{"bare.exe", "dir.exe", "file.exe", "web.exe"}));

  const QString backup = "Would you like to backup the 4 keywords before you delete them all?";
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(std::nullopt);
  f->mnuKWDA_Click();  // backup refused: nothing deleted
  EXPECT_EQ(Keys().size(), 4);
  dialogs.expectBox("Delete All Keywords?", backup, answer::Yes, 51).expectSave(path("before.zkb"));
  f->mnuKWDA_Click();
  EXPECT_TRUE(QFile::exists(path("before.zkb")));
  EXPECT_TRUE(Keys().isEmpty());
}

using TargetsTest = WindowTest;

TEST_F(TargetsTest, DroppedFilesSetTheTargetAndOnlyTheLabelProposesAKeyword) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const QString app = MakeFile("My App.exe");
  Drop(f->fraTarget, FileList({app, MakeFile("second.txt")}).get());
  EXPECT_EQ(f->lblPath->toolTip(), " " + app + " ");
  EXPECT_TRUE(f->txtExe->text().isEmpty());

  QDir(dir()).mkdir("folder.d");
  for (const auto& [file, proposed] : {std::pair{app, "My App.exe"}, std::pair{MakeFile("readme.first.txt"), "readme.exe"},
                                       std::pair{path("folder.d"), ""}}) {
    f->txtExe->clear();
    Drop(f->lblPath, FileList({file}).get());
    EXPECT_EQ(f->lblPath->caption(), file);
    EXPECT_EQ(f->txtExe->text(), proposed);
  }
  // Text, web links and nothing at all change nothing; the tree takes no text either.
  QMimeData text, web;
  text.setText(app);
  web.setUrls({QUrl("https://example.org/x.exe")});
  EXPECT_FALSE(Drop(f->lblPath, &text));
  EXPECT_FALSE(Drop(f->tvw->widget()->viewport(), &text));
  f->lblPath_OLEDragDrop(&web);
  f->fraTarget_OLEDragDrop(nullptr);
  EXPECT_EQ(f->lblPath->caption(), path("folder.d"));
  f->lblPath->setCaption("<b>bold</b>");  // the tip shows text, never markup
  EXPECT_TRUE(f->lblPath->toolTip().contains("&lt;b&gt;bold"));
}

TEST_F(TargetsTest, DroppedInternetShortcutsOnlyEverBecomeText) {
  const QString program = MakeRecorder("evil.sh");
  const struct {
    QString name;
    QByteArray content;
    QString address;
  } rows[] = {
      {"js.url", "[InternetShortcut]\nURL=javascript:alert('<b>x</b>')\n", "javascript:alert('<b>x</b>')"},
      // also a script, in case anything took it for a program
      {"self.url", "#!/bin/sh\ntouch pwned\nexit 0\n[InternetShortcut]\nURL=" + FileUrl(program).toUtf8() + "\n",
       FileUrl(program)},
      {"huge.url", "[InternetShortcut]\nURL=" + QByteArray(60 * 1024, 'w'), QString(254, u'w')},  // a shortcut is at most 64 KB
  };
  CurrentFolder here(dir());
  auto f = Window();
  ScriptedDialogs dialogs;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name.toStdString());
    const QString file = MakeScript(r.name, "");
    WriteFile(file, r.content);
    const auto data = FileList({file});
    for (QWidget* target : {static_cast<QWidget*>(f->lblPath), static_cast<QWidget*>(f->fraTarget)}) {
      f->lblPath->setCaption("before");
      ASSERT_TRUE(Drop(target, data.get()));
      EXPECT_EQ(f->lblPath->caption(), r.address);
    }
    dialogs.expectBoxTitled("Zelkar", answer::OK);  // the tree loads only backups
    EXPECT_TRUE(Drop(f->tvw->widget()->viewport(), data.get()));

    // Every part of the address window takes it; any other file changes nothing.
    frmURL::ModalHook hook([&](frmURL& w) {
      const auto other = FileList({program});
      for (QWidget* part : std::initializer_list<QWidget*>{&w, w.Label1, w.txtURL, w.cmdOK, w.cmdCancel}) {
        w.txtURL->setText("typed");
        EXPECT_FALSE(Drop(part, other.get()));
        EXPECT_EQ(w.txtURL->text(), "typed");
        Drop(part, data.get());
        EXPECT_EQ(w.txtURL->text(), r.address);
      }
      w.cmdCancel_Click();
    });
    f->cmdURL_Click();
  }
  EXPECT_EQ(Recorded(), "none");
  EXPECT_TRUE(Keys().isEmpty());
  EXPECT_TRUE(ArgsOf(program, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

TEST_F(TargetsTest, AddressWindowBrowsersClearAndTheLabelMenu) {
  Put("web.exe", "http://registered.example/");
  Put("tool.exe", "/usr/bin/tool");
  modRegEdit::SaveString(store::Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                         "/opt");
  auto f = Window();
  ScriptedDialogs dialogs;
  int opened = 0;
  frmURL::ModalHook hook([&](frmURL& w) {
    if (++opened == 1) {
      dialogs.expectBox("Rename", "You must type in a URL", answer::OK, 64);
      w.cmdOK_Click();  // empty: refused, stays open
      w.txtURL->setText("www.typed.example");
      QTest::keyClick(w.txtURL, Qt::Key_Return);  // Enter is OK
    } else {  // earlier addresses are offered, programs are not
      const QStringList offered = static_cast<QStringListModel*>(w.txtURL->completer()->model())->stringList();
      EXPECT_EQ(offered, (QStringList{"http://registered.example/", "www.typed.example"}));
      w.txtURL->setText("www.not-taken.example");
      QTest::keyClick(w.txtURL, Qt::Key_Escape);
    }
    EXPECT_FALSE(w.isVisible());
  });
  f->txtExe->setText("newname");
  f->cmdURL_Click();
  EXPECT_TRUE(f->cmdSave->isEnabled());
  f->cmdURL_Click();  // cancelled: nothing set
  EXPECT_EQ(f->lblPath->caption(), "www.typed.example");

  const QString tool = MakeFile("tool");
  dialogs.expectOpen(tool).expectOpen(std::nullopt).expectFolder(dir());
  f->cmdBrowse_Click();
  f->cmdBrowse_Click();  // cancelled: the target stays
  EXPECT_EQ(f->lblPath->caption(), tool);
  EXPECT_EQ(dialogs.dialogs().front().request.initialDir, "/opt");
  f->cmdDir_Click();
  EXPECT_EQ(f->lblPath->caption(), dir());

  f->lblPath_MouseUp(2, 0, 1, 1);
  EXPECT_EQ(f->lastPopup, f->mnuTarget);
  f->cmdClear_Click();
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  f->lastPopup = nullptr;
  f->lblPath_MouseUp(2, 0, 1, 1);  // empty label: no menu
  EXPECT_EQ(f->lastPopup, nullptr);
}

}  // namespace
}  // namespace zelkar::test

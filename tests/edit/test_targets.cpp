// Choosing a keyword's target: drops, file and folder dialogs, the internet address window.
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QTreeWidget>

#include "edit/frmURL.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using TargetsTest = WindowTest;

TEST_F(TargetsTest, DroppedFilesSetTheTargetAndOnlyTheLabelProposesAKeyword) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const QString app = MakeFile("My App.exe");
  const QString second = MakeFile("second.txt");
  Drop(f->fraTarget, FileList({app, second, second}).get());
  EXPECT_EQ(f->lblPath->caption(), app);
  EXPECT_EQ(f->lblPath->toolTip(), " " + app + " ");
  EXPECT_TRUE(f->txtExe->text().isEmpty());

  f->txtExe->setText("tool");
  f->cmdSave->setEnabled(false);
  Drop(f->fraTarget, FileList({app}).get());  // the same target again
  EXPECT_FALSE(f->cmdSave->isEnabled());
  Drop(f->fraTarget, FileList({second}).get());
  EXPECT_TRUE(f->cmdSave->isEnabled());

  QDir(dir()).mkdir("folder.d");
  for (const auto& [file, proposed] : {std::pair{app, "My App.exe"}, std::pair{MakeFile("readme.first.txt"), "readme.exe"},
                                       std::pair{path("folder.d"), ""}}) {
    f->txtExe->clear();
    Drop(f->lblPath, FileList({file}).get());
    EXPECT_EQ(f->lblPath->caption(), file);
    EXPECT_EQ(f->txtExe->text(), proposed);
  }

  // Text, web links and nothing at all change nothing; the tree takes no text either.
  QMimeData text;
  text.setText(second);
  QMimeData web;
  web.setUrls({QUrl("https://example.org/x.exe")});
  for (const QMimeData* d : {&text, &web, static_cast<QMimeData*>(nullptr)}) {
    f->lblPath_OLEDragDrop(d);
    f->fraTarget_OLEDragDrop(d);
  }
  EXPECT_FALSE(Drop(f->lblPath, &text));
  EXPECT_FALSE(Drop(f->tvw->widget()->viewport(), &text));
  EXPECT_EQ(f->lblPath->caption(), path("folder.d"));
  f->lblPath->setCaption("<b>bold</b>");  // the tip shows text, never markup
  EXPECT_TRUE(f->lblPath->toolTip().contains("&lt;b&gt;bold"));
}

TEST_F(TargetsTest, DroppedInternetShortcutsOnlyEverBecomeText) {
  const QString program = MakeRecorder("evil.sh");
  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37);
  const struct {
    QString name;
    QByteArray content;
    QString address;
    bool anyShort = false;  // any address of at most 254 characters
  } rows[] = {
      {"Example Site.URL", "[InternetShortcut]\nURL=https://example.org/\n", "https://example.org/"},
      {"js.url", "[InternetShortcut]\nURL=javascript:alert('<b>x</b>')\n", "javascript:alert('<b>x</b>')"},
      // also a script, in case anything took it for a program
      {"self.url", "#!/bin/sh\ntouch pwned\nexit 0\n[InternetShortcut]\nURL=" + FileUrl(program).toUtf8() + "\n",
       FileUrl(program)},
      {"empty.url", "", ""},
      {"binary.url", binary, "", true},
      {"huge.url", "[InternetShortcut]\nURL=" + QByteArray(10 * 1024 * 1024, 'w'), QString(254, u'w')},
  };
  Put("kept.exe", "/bin/kept");
  CurrentFolder here(dir());
  auto f = Window();
  ScriptedDialogs dialogs;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name.toStdString());
    const QString file = MakeScript(r.name, "");
    WriteFile(file, r.content);
    const auto data = FileList({file});
    const auto check = [&](const QString& shown) {
      if (r.anyShort)
        EXPECT_LE(shown.size(), 254);
      else
        EXPECT_EQ(shown, r.address);
    };
    for (QWidget* target : {static_cast<QWidget*>(f->lblPath), static_cast<QWidget*>(f->fraTarget)}) {
      f->txtExe->clear();
      f->lblPath->setCaption("before");
      ASSERT_TRUE(Drop(target, data.get()));
      check(f->lblPath->caption());
    }
    if (r.address.isEmpty() && !r.anyShort) EXPECT_TRUE(f->lblPath->toolTip().isEmpty());
    dialogs.expectBoxTitled("Zelkar", answer::OK);  // the tree loads only backups
    EXPECT_TRUE(Drop(f->tvw->widget()->viewport(), data.get()));

    // Every part of the address window takes it; any other file changes nothing.
    frmURL::ModalHook hook([&](frmURL& w) {
      const auto other = FileList({path("evil.sh")});
      for (QWidget* part : std::initializer_list<QWidget*>{&w, w.Label1, w.txtURL, w.cmdOK, w.cmdCancel}) {
        w.txtURL->setText("typed");
        EXPECT_FALSE(Drop(part, other.get()));
        w.Form_OLEDragDrop(other.get());
        EXPECT_EQ(w.txtURL->text(), "typed");
        Drop(part, data.get());
        check(w.txtURL->text());
      }
      EXPECT_TRUE(w.isVisible());
      w.cmdCancel_Click();
    });
    f->lblPath->setCaption("before");
    f->cmdURL_Click();
    EXPECT_EQ(f->lblPath->caption(), "before");
  }
  f->txtExe->clear();
  Drop(f->lblPath, FileList({path("Example Site.URL")}).get());
  EXPECT_EQ(f->txtExe->text(), "Example Site.exe");
  EXPECT_EQ(Recorded(), "none");
  EXPECT_EQ(Keys(), QStringList{"kept.exe"});
  EXPECT_TRUE(ArgsOf(program, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path("pwned")));
}

TEST_F(TargetsTest, AddressWindowTakesTheAddressAsTyped) {
  Put("web.exe", "http://registered.example/");
  Put("tool.exe", "/usr/bin/tool");
  auto f = Window();
  ScriptedDialogs dialogs;
  int opened = 0;
  frmURL::ModalHook hook([&](frmURL& w) {
    ++opened;
    EXPECT_EQ(w.windowTitle(), "Internet Address");
    EXPECT_EQ(w.findChild<QLabel*>("Label1")->text(), "Type desired URL below:");
    EXPECT_TRUE(w.txtURL->text().isEmpty());
    if (opened == 1) {
      dialogs.expectBox("Rename", "You must type in a URL", answer::OK, 64);
      w.cmdOK_Click();  // empty: refused, stays open
      EXPECT_TRUE(w.isVisible());
      w.txtURL->setText("  ");
      QTest::keyClick(w.txtURL, Qt::Key_Return);  // Enter is OK
    } else if (opened == 2) {
      w.txtURL->setText("www.typed.example");
      w.cmdOK_Click();
    } else {  // earlier addresses are offered, programs are not
      const QStringList offered = static_cast<QStringListModel*>(w.txtURL->completer()->model())->stringList();
      EXPECT_EQ(offered, (QStringList{"http://registered.example/", "www.typed.example"}));
      w.txtURL->setText("www.not-taken.example");
      QTest::keyClick(w.txtURL, Qt::Key_Escape);
    }
    EXPECT_FALSE(w.isVisible());
  });
  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), "  ");
  EXPECT_FALSE(f->cmdSave->isEnabled());  // no keyword typed
  f->txtExe->setText("newname");
  f->cmdSave->setEnabled(false);
  f->cmdURL_Click();
  EXPECT_EQ(f->lblPath->caption(), "www.typed.example");
  EXPECT_TRUE(f->cmdSave->isEnabled());
  f->cmdURL_Click();  // cancelled: nothing set
  EXPECT_EQ(f->lblPath->caption(), "www.typed.example");
  EXPECT_EQ(opened, 3);
}

TEST_F(TargetsTest, BrowsersClearAndTheLabelMenu) {
  modRegEdit::SaveString(store::Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                         "/opt");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->lblPath_MouseUp(2, 0, 1, 1);  // empty label: no menu
  EXPECT_EQ(f->lastPopup, nullptr);

  const QString tool = MakeFile("tool");
  f->txtExe->setText("tool");
  dialogs.expectOpen(tool).expectOpen(std::nullopt).expectOpen(tool).expectFolder(std::nullopt).expectFolder(dir());
  f->cmdBrowse_Click();
  EXPECT_EQ(f->lblPath->caption(), tool);
  f->cmdBrowse_Click();  // cancelled: the target stays
  EXPECT_EQ(f->lblPath->caption(), tool);
  f->cmdSave->setEnabled(false);
  f->cmdBrowse_Click();  // the same file again still offers Register
  EXPECT_TRUE(f->cmdSave->isEnabled());
  const FileDialogRequest& open = dialogs.dialogs().front().request;
  EXPECT_EQ(open.title, "Select the target application for the keyword...");
  EXPECT_EQ(open.filter, "All Files (*.*)|*.*");
  EXPECT_EQ(open.initialDir, "/opt");

  f->cmdDir_Click();
  EXPECT_EQ(f->lblPath->caption(), tool);
  f->cmdDir_Click();
  EXPECT_EQ(f->lblPath->caption(), dir());
  EXPECT_EQ(dialogs.dialogs().back().request.title, "Select the target directory for keyword...");

  f->lblPath_MouseUp(2, 0, 1, 1);
  EXPECT_EQ(f->lastPopup, f->mnuTarget);
  EXPECT_EQ(f->lastPopupDefault, f->mnuTR);
  f->cmdClear_Click();
  EXPECT_TRUE(f->txtExe->text().isEmpty());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
}

}  // namespace
}  // namespace zelkar::test

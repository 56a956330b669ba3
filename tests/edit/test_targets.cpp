#include <QDir>

#include "EditTest.h"

namespace zelkar::test {
namespace {

using TargetsTest = EditTest;

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

  f->txtExe->clear();
  Drop(f->lblPath, FileList({app}).get());
  EXPECT_EQ(f->txtExe->text(), "My App.exe");

  f->txtExe->clear();
  Drop(f->lblPath, FileList({MakeFile("readme.first.txt")}).get());
  EXPECT_EQ(f->txtExe->text(), "readme.exe");
  EXPECT_TRUE(f->cmdSave->isEnabled());

  f->txtExe->clear();
  QDir(dir()).mkdir("folder.d");
  Drop(f->lblPath, FileList({path("folder.d")}).get());
  EXPECT_EQ(f->lblPath->caption(), path("folder.d"));
  EXPECT_TRUE(f->txtExe->text().isEmpty());

  // Text, web links and nothing at all change nothing.
  QMimeData text;
  text.setText(second);
  QMimeData web;
  web.setUrls({QUrl("https://example.org/x.exe")});
  for (const QMimeData* d : {&text, &web, static_cast<QMimeData*>(nullptr)}) {
    f->lblPath_OLEDragDrop(d);
    f->fraTarget_OLEDragDrop(d);
  }
  EXPECT_FALSE(Drop(f->lblPath, &text));
  EXPECT_EQ(f->lblPath->caption(), path("folder.d"));
  EXPECT_TRUE(f->txtExe->text().isEmpty());
}

TEST_F(TargetsTest, InternetShortcutsGiveOnlyTheirAddressAsText) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const QString site = MakeFile("Example Site.URL", "[InternetShortcut]\nURL=https://example.org/\n");
  Drop(f->lblPath, FileList({site}).get());
  EXPECT_EQ(f->lblPath->caption(), "https://example.org/");
  EXPECT_EQ(f->txtExe->text(), "Example Site.exe");

  const QString js = MakeFile("js.url", "[InternetShortcut]\nURL=javascript:alert('<b>x</b>')\n");
  Drop(f->fraTarget, FileList({js}).get());
  EXPECT_EQ(f->lblPath->caption(), "javascript:alert('<b>x</b>')");

  f->lblPath->setCaption("<b>bold</b>");
  EXPECT_FALSE(f->lblPath->toolTip().contains("<b>"));
  EXPECT_TRUE(f->lblPath->toolTip().contains("&lt;b&gt;bold"));

  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37);
  const QByteArray huge = "[InternetShortcut]\nURL=" + QByteArray(60 * 1024, 'w');  // a shortcut is at most 64 KB
  for (const auto& content : {QByteArray(), binary, huge}) {
    Drop(f->fraTarget, FileList({MakeFile("odd.url", content)}).get());
    EXPECT_LE(f->lblPath->caption().size(), 254);
  }
  EXPECT_EQ(f->lblPath->caption(), QString(254, u'w'));
  Drop(f->fraTarget, FileList({MakeFile("empty.url", "")}).get());
  EXPECT_TRUE(f->lblPath->caption().isEmpty());
  EXPECT_TRUE(f->lblPath->toolTip().isEmpty());
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

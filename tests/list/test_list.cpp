// The keyword tree: loading it from the store, and the user's clicks, keys and
// typing on it and on the keyword box.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>

#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using store::Hive;
using TreeTest = WindowTest;

QStringList Column(const frmMain& f, bool images) {
  QStringList all;
  for (int i = 1; i <= f.tvw->Count(); ++i) all << (images ? f.tvw->Image(i) : f.tvw->Text(i));
  return all;
}

TEST_F(TreeTest, EveryKeywordAndItsTargetInListingOrderEachFileWithItsPicture) {
  UseIconTheme({{"16x16/mimetypes/text-plain", Qt::red}, {"16x16/apps/myprog", Qt::blue}});
  const QString doc = MakeFile("Notepad.TXT");
  const QString blob = MakeFile("blob.bin7", QByteArray("\x00\x01\x02\xff", 4));
  const QString prog = MakeScript("myprog");
  Put("Notepad.EXE", doc);
  Put("myprog.exe", prog);
  Put("blob.exe", blob);
  Put("web.exe", "http://example.org");
  auto f = Window();
  EXPECT_EQ(Column(*f, false), (QStringList{"Run Keywords", "blob.exe", blob, "myprog.exe", prog, "notepad.exe", doc,
                                            "web.exe", "http://example.org"}));
  EXPECT_EQ(Column(*f, true), (QStringList{"key", "tmp0", "path", "tmp1", "path", "tmp2", "path", "url", "path"}));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 4 Keywords");
  // Programs show their own icon, documents their type's, anything else the style's file picture.
  const auto picture = [&](const QString& key) {
    return f->imlTVW->Picture(key).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  };
  const QImage fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16).toImage();
  EXPECT_EQ(picture("tmp0"), fallback.convertToFormat(QImage::Format_ARGB32));
  EXPECT_EQ(picture("tmp1").pixelColor(8, 8), QColor(Qt::blue));
  EXPECT_EQ(picture("tmp2").pixelColor(8, 8), QColor(Qt::red));

  // Reloads leave one picture per file keyword.
  f->LoadTVW(false);
  EXPECT_EQ(f->imlTVW->Count(), 8);
  for (const char* kw : {"blob.exe", "myprog.exe", "web.exe"}) modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + kw);
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 1 Keyword");
  EXPECT_EQ(f->tvw->Image(2), "tmp0");  // its position in this listing
  EXPECT_EQ(f->imlTVW->Count(), 6);
}

TEST_F(TreeTest, TargetsAreNormalisedKeepTheirLetterCaseAndOddTextsListAsThemselves) {
  const QString doc = MakeFile("My Document.TXT");
  QDir(dir()).mkpath("Some Dir");
  const struct {
    QString keyword, stored, shown, image;
  } rows[] = {  // a missing target with an extension is a broken file, one without counts as a folder
      {"Quoted.exe", "\"" + doc + "\"", doc, "tmp"},  // quotes leave the tree and the store
      {"pf.exe", "%programfiles%/Vendor/App.bin", "/opt/Vendor/App.bin", "uk"},
      {"web.exe", "www.Example.org/Some/Path", "www.Example.org/Some/Path", "url"},
      {"folder.exe", path("Some Dir"), path("Some Dir"), "fld"},
      {"gone.exe", path("Missing.File"), path("Missing.File"), "uk"},
      {"here.exe", "here.txt", "here.txt", "fld"},  // never looked for in the current folder, where it is
      {"Ünïcødé $(rm -rf ~).exe", "say \"hi\" `id` | x", "say \"hi\" `id` | x", "fld"},
      {QString(10000, u'k') + ".exe", QString(10000, u'T'), QString(10000, u'T'), "fld"},
  };
  for (const auto& r : rows) Put(r.keyword, r.stored);
  // Entries without a text are hidden until a load is asked to remove them.
  store().createKey(Hive::LocalMachine, kAppPathsKey + "void.exe");
  Put("empty.exe", "");
  store().writeValue(Hive::LocalMachine, kAppPathsKey + "number.exe", QString(), store::Value::fromDWord(42));
  MakeFile("here.txt");
  const CurrentFolder here(dir());
  auto f = Window();
  ASSERT_EQ(f->KeywordCount(), static_cast<int>(std::size(rows)) + 1);
  EXPECT_EQ(f->tvw->Text(Node(*f, "number.exe") + 1), "42");
  for (const auto& r : rows) {
    SCOPED_TRACE(r.keyword.left(40).toStdString());
    const int node = Node(*f, r.keyword.toLower());
    ASSERT_NE(node, 0);
    EXPECT_EQ(f->tvw->Text(node + 1), r.shown);
    EXPECT_TRUE(f->tvw->Image(node).startsWith(r.image)) << f->tvw->Image(node).toStdString();
    EXPECT_EQ(TargetOf(r.keyword), r.shown);  // written back cleaned
  }
  EXPECT_TRUE(Has("empty.exe"));
  f->LoadTVW(true);
  EXPECT_EQ(Keys().size(), static_cast<int>(std::size(rows)) + 1);  // without empty.exe and void.exe
}

TEST_F(TreeTest, CancelInAReloadQuestionKeepsTheTreeAndItsMarks) {
  Put("a.exe", "/a");
  Put("b.exe", "/b");
  auto f = Window();
  f->tvw->SetText(2, "renamed.exe");
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "a.exe");
  f->tvw->SetForeColor(4, colour::Blue);
  Put("c.exe", "/c");
  ScriptedDialogs dialogs;
  dialogs.expectBox("Unregistered Keyword", "There is an unregistered keyword. Register it now?", answer::Cancel, 51);
  dialogs.expectBox("Unregistered Keyword", QString(), answer::No, 51);
  dialogs.expectBox("Export Keyword?", QString(), answer::Cancel, 51);
  for (int i = 0; i < 2; ++i) {
    f->LoadTVW(false);
    EXPECT_EQ(Column(*f, false), (QStringList{"Run Keywords", "renamed.exe", "/a", "b.exe", "/b"}));
    EXPECT_EQ(f->tvw->ForeColor(2) + f->tvw->ForeColor(4), colour::Red + colour::Blue);
  }
}

class InteractionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Put("alpha.exe", "/srv/Alpha");
    Put("beta.exe", "http://example.org/B");
  }
  // The box, the target, the selected node, then E(nabled) or D(isabled) for
  // cmdRun mnuKWR mnuKWOCF mnuKWMFE | cmdRename cmdDelete mnuKWRe mnuKWD | cmdSave.
  static std::string Snap(const frmMain& f) {
    QString s = f.txtExe->text() + u'|' + f.lblPath->caption() + u'|' + QString::number(f.tvw->SelectedItem());
    const bool on[] = {f.cmdRun->isEnabled(),    f.mnuKWR->isEnabled(),    f.mnuKWOCF->isEnabled(),
                       f.mnuKWMFE->isEnabled(),  f.cmdRename->isEnabled(), f.cmdDelete->isEnabled(),
                       f.mnuKWRe->isEnabled(),   f.mnuKWD->isEnabled(),    f.cmdSave->isEnabled()};
    for (int i = 0; i < 9; ++i) s += QString(i % 4 == 0 ? "|" : "") + (on[i] ? u'E' : u'D');
    return s.toStdString();
  }
  // Where the user clicks to hit node `index` (selecting from code raises
  // nothing, and the selection is put back).
  static QPoint Spot(const frmMain& f, int index) {
    const int was = f.tvw->SelectedItem();
    f.tvw->Select(index);
    QTreeWidgetItem* item = f.tvw->widget()->currentItem();
    if (was != 0) f.tvw->Select(was);
    f.tvw->widget()->scrollToItem(item);
    return f.tvw->widget()->visualItemRect(item).center();
  }
  static std::string Click(const frmMain& f, int index, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(f.tvw->widget()->viewport(), button, Qt::NoModifier, Spot(f, index));
    return Snap(f);
  }
};

TEST_F(InteractionTest, ClicksAndKeysSetTheWindowAsTheNodeAllows) {
  auto f = Window();
  ScriptedDialogs dialogs;
  EXPECT_EQ(Click(*f, 2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|D");
  // A target node of another keyword: the box names its keyword, which gets
  // selected; with its own keyword in the box already the target node stays selected.
  EXPECT_EQ(Click(*f, 5), "beta.exe|http://example.org/B|4|EEEE|EEEE|D");
  EXPECT_EQ(Click(*f, 5), "beta.exe|http://example.org/B|5|EEEE|EEEE|D");
  // A red keyword can be registered from here, until a click elsewhere.
  f->tvw->SetForeColor(2, colour::Red);
  EXPECT_EQ(Click(*f, 2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|E");
  EXPECT_EQ(Click(*f, 3), "alpha.exe|/srv/Alpha|3|EEEE|EEEE|D");
  EXPECT_EQ(Click(*f, 1), "||1|DDDD|DDDD|D");  // the root
  // A target node leaves Rename and Delete as they were: here the completion
  // of its keyword's name enabled the buttons, not the menu items.
  f->tvw->SetForeColor(2, colour::Black);
  EXPECT_EQ(Click(*f, 3), "alpha.exe|/srv/Alpha|2|EEEE|EEDD|D");
  // Keys move like clicks.
  f->tvw->widget()->setFocus();
  QTest::keyClick(f->tvw->widget(), Qt::Key_End);
  EXPECT_EQ(f->lblPath->caption(), "http://example.org/B");
  QTest::keyClick(f->tvw->widget(), Qt::Key_Home);
  EXPECT_EQ(Snap(*f), "||1|DDDD|DDDD|D");
}

TEST_F(InteractionTest, RightClicksPopUpTheMenuOfTheSelectedNode) {
  auto f = Window();
  ScriptedDialogs dialogs;
  // The menu, its default item, and the mark item's text and state.
  const auto menu = [&](int node) {
    f->lastPopup = nullptr;
    Click(*f, node, Qt::RightButton);
    const QAction* item = f->lastPopupDefault;
    return (f->lastPopup ? f->lastPopup->objectName() : "none") + u'|' + (item ? item->objectName() : "") + u'|' +
           f->mnuHMFE->text() + (f->mnuHMFE->isEnabled() ? "" : " (disabled)");
  };
  Click(*f, 2);
  f->tvw->SetForeColor(2, colour::Blue);
  EXPECT_EQ(menu(4), "mnuHide||Unmark For Exportation");  // no selection change: the menu is for alpha
  Click(*f, 3);
  Click(*f, 3);
  EXPECT_EQ(menu(3), "mnuHide|mnuHideRun|Unmark For Exportation");  // the mark item follows its keyword
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "alpha.exe");
  EXPECT_EQ(menu(3), "mnuHide|mnuHideRun|Mark For Exportation (disabled)");
  f->lastPopup = nullptr;
  Click(*f, 2);  // a left release never pops anything up
  EXPECT_EQ(f->lastPopup, nullptr);
  EXPECT_EQ(menu(2), "mnuRH||Mark For Exportation");  // a red keyword: only Register and Restore
  // The root: Run is the default but nothing acts on a node.
  Click(*f, 1);
  EXPECT_EQ(menu(1), "mnuHide|mnuHideRun|Mark For Exportation (disabled)");
  for (QAction* a : {f->mnuHideRun, f->mnuHOCF, f->mnuHideRename, f->mnuHideDelete}) EXPECT_FALSE(a->isEnabled());
}

TEST_F(InteractionTest, DeleteKeyAndDoubleClicks) {
  auto f = Window();
  ScriptedDialogs dialogs;  // any question not expected fails the test
  // A double click on a keyword only folds it; on a target it runs it.
  Click(*f, 2);
  QTreeWidgetItem* alpha = f->tvw->widget()->currentItem();
  const bool open = alpha->isExpanded();
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 2));
  EXPECT_NE(alpha->isExpanded(), open);
  Click(*f, 1);  // from the root: the first click moves the selection to the keyword
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 5));
  EXPECT_EQ(f->tvw->SelectedItem(), 5);
  EXPECT_EQ(Recorded(), "open http://example.org/B");

  Click(*f, 2);
  dialogs.expectBoxTitled("Delete ALPHA?", answer::Yes);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_FALSE(Has("alpha.exe"));
  // The list folding away disables Delete, and the key with it, while the keyword stays selected.
  Click(*f, 2);
  f->mnuLHS_Click();
  ASSERT_EQ(f->tvw->SelectedItem(), 2);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_TRUE(Has("beta.exe"));
}

TEST_F(InteractionTest, TypingCompletesInlineFromTheFirstKeywordThatMatches) {
  Put("notepad.exe", "/usr/bin/Notepad");
  Put("notes.exe", "/srv/Notes");
  Put("Äbc.exe", "/srv/abc");
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, "NOTE");
  EXPECT_EQ(f->txtExe->selectedText(), "pad.exe");
  EXPECT_EQ(Snap(*f), "NOTEpad.exe||" + std::to_string(Node(*f, "notepad.exe")) + "|EDDD|EEDD|D");
  // Backspace takes the completed part away and completes nothing; a further letter completes again.
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOT");
  QTest::keyClicks(f->txtExe, "ES");
  EXPECT_EQ(f->txtExe->text(), "NOTES.exe");
  f->txtExe->setText("äB");  // as typed
  QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);  // focus selects it all
  QApplication::sendEvent(f->txtExe, &focus);
  EXPECT_EQ(f->txtExe->selectedText(), "äBc.exe");

  // No keyword matches (a target's text is none): the selection stays, and
  // Register needs a target as well.
  for (const auto& [typed, kept] : {std::pair{"notes !", "notes.exe"}, std::pair{"/srv", ""}}) {
    f->txtExe->clear();
    f->lblPath->setCaption(QString());
    QTest::keyClicks(f->txtExe, typed);
    EXPECT_EQ(f->tvw->SelectedItem(), *kept ? Node(*f, kept) : 1) << typed;
    EXPECT_FALSE(f->cmdSave->isEnabled());
    f->lblPath->setCaption("/srv/other");
    QTest::keyClicks(f->txtExe, "x");
    EXPECT_TRUE(f->cmdSave->isEnabled()) << typed;
  }
  // With the list folded away the node buttons are left alone.
  f->ClickRootNode();
  f->tvw->hide();
  QTest::keyClicks(f->txtExe, "notep");
  EXPECT_EQ(f->txtExe->text(), "notepad.exe");
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

}  // namespace
}  // namespace zelkar::test

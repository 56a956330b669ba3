// The keyword tree: loading it from the store, and the user's clicks, keys and
// typing on it and on the keyword box.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QProgressBar>
#include <QStyle>
#include <QTreeWidget>

#include "store/PathHelpers.h"
#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using store::Hive;

class TreeTest : public WindowTest {
 protected:
  static QStringList Texts(const frmMain& f) {
    QStringList texts;
    for (int i = 1; i <= f.tvw->Count(); ++i) texts << f.tvw->Text(i);
    return texts;
  }
  static QStringList Images(const frmMain& f) {
    QStringList images;
    for (int i = 1; i <= f.tvw->Count(); ++i) images << f.tvw->Image(i);
    return images;
  }
  static int TmpImages(const frmMain& f) {
    int n = 0;
    for (int i = 1; i <= f.imlTVW->Count(); ++i) n += f.imlTVW->Key(i).startsWith(QLatin1String("tmp"));
    return n;
  }
  static QImage Picture(const frmMain& f, const QString& key) {
    return f.imlTVW->Picture(key).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  }
};

TEST_F(TreeTest, EveryKeywordAndItsTargetInListingOrderEachFileWithItsPicture) {
  UseIconTheme({{"16x16/mimetypes/text-plain", Qt::red},
                {"16x16/mimetypes/application-x-executable", Qt::green},
                {"16x16/apps/myprog", Qt::blue}});
  const QString doc = MakeFile("Notepad.TXT");
  const QString blob = MakeFile("blob.bin7", QByteArray("\x00\x01\x02\xff", 4));
  const QString prog = MakeScript("myprog"), other = MakeScript("otherprog");
  Put("Notepad.EXE", doc);
  Put("same.exe", doc);
  Put("myprog.exe", prog);
  Put("other.exe", other);
  Put("blob.exe", blob);
  Put("web.exe", "http://example.org");
  auto f = Window();
  EXPECT_EQ(Texts(*f), (QStringList{"Run Keywords", "blob.exe", blob, "myprog.exe", prog, "notepad.exe", doc,
                                    "other.exe", other, "same.exe", doc, "web.exe", "http://example.org"}));
  EXPECT_EQ(Images(*f), (QStringList{"key", "tmp0", "path", "tmp1", "path", "tmp2", "path", "tmp3", "path", "tmp4",
                                     "path", "url", "path"}));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 6 Keywords");
  EXPECT_EQ(f->tvw->SelectedItem(), 1);
  EXPECT_FALSE(f->pb->isVisible());
  // Programs show their own icon, documents their type's, anything else the style's file picture.
  const QImage fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16).toImage();
  EXPECT_EQ(Picture(*f, "tmp0"), fallback.convertToFormat(QImage::Format_ARGB32));
  const QColor expected[] = {Qt::blue, Qt::red, Qt::green, Qt::red};
  for (int i = 1; i <= 4; ++i)
    EXPECT_EQ(Picture(*f, "tmp" + QString::number(i)).pixelColor(8, 8), expected[i - 1]) << i;

  // Reloads leave one picture per file keyword, the fixed ones first and in their order.
  for (int n = 0; n < 3; ++n) f->LoadTVW(false);
  EXPECT_EQ(f->imlTVW->Count(), 10);
  EXPECT_EQ(f->imlTVW->Key(1), "fld");
  EXPECT_EQ(f->imlTVW->Key(5), "url");
  EXPECT_FALSE(f->imlTVW->Add("tmp1", QIcon()));  // a key in use takes nothing more
  for (const char* kw : {"blob.exe", "myprog.exe", "other.exe", "same.exe", "web.exe"})
    modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + kw);
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 1 Keyword");
  EXPECT_EQ(f->tvw->Image(2), "tmp0");  // its position in this listing
  EXPECT_EQ(TmpImages(*f), 1);
  modRegEdit::DeleteKey(Hive::LocalMachine, kAppPathsKey + "Notepad.EXE");
  f->LoadTVW(false);
  EXPECT_EQ(f->windowTitle(), "Zelkar - 0 Keywords");
  EXPECT_EQ(f->tvw->Count(), 1);
  EXPECT_EQ(f->imlTVW->Count(), 5);
}

TEST_F(TreeTest, TargetsAreNormalisedKeepTheirLetterCaseAndOddTextsListAsThemselves) {
  const QString doc = MakeFile("My Document.TXT");
  QDir(dir()).mkpath("Some Dir");
  const struct {
    QString keyword, stored, shown, image;
  } rows[] = {  // a missing target with an extension is a broken file, one without counts as a folder
      {"Quoted.exe", "\"" + doc + "\"", doc, "tmp"},  // quotes leave the tree and the store
      {"pf.exe", "%programfiles%/Vendor/App.bin", "/opt/Vendor/App.bin", "uk"},
      {"mixed.exe", "%ProgramFiles%/x", "%ProgramFiles%/x", "fld"},
      {"web.exe", "www.Example.org/Some/Path", "www.Example.org/Some/Path", "url"},
      {"folder.exe", path("Some Dir"), path("Some Dir"), "fld"},
      {"gone.exe", path("Missing.File"), path("Missing.File"), "uk"},
      {"Ünïcødé ñame.exe", "/data/Ünïcødé/ß", "/data/Ünïcødé/ß", "fld"},
      {"semi;colon.exe", "a;b && c", "a;b && c", "fld"},
      {"$(rm -rf ~).exe", "`id` | x", "`id` | x", "fld"},
      {"--help.exe", "-rf", "-rf", "fld"},
      {"in\"side.exe", "say \"hi\" there", "say \"hi\" there", "fld"},
      {QString(10000, u'k') + ".exe", QString(10000, u'T'), QString(10000, u'T'), "fld"},
  };
  for (const auto& r : rows) Put(r.keyword, r.stored);
  auto f = Window();
  ASSERT_EQ(f->KeywordCount(), static_cast<int>(std::size(rows)));
  for (const auto& r : rows) {
    SCOPED_TRACE(r.keyword.left(40).toStdString());
    const int node = Node(*f, r.keyword.toLower());
    ASSERT_NE(node, 0);
    EXPECT_EQ(f->tvw->Text(node + 1), r.shown);
    EXPECT_TRUE(f->tvw->Image(node).startsWith(r.image)) << f->tvw->Image(node).toStdString();
    EXPECT_EQ(TargetOf(r.keyword), r.shown);  // written back cleaned
  }
}

TEST_F(TreeTest, ThousandsOfEntriesWithEmptyOnesHiddenUntilAskedToRemoveThem) {
  const QString doc = MakeFile("shared.txt");
  {
    store::RegistryStore::Transaction group(store(), Hive::LocalMachine);
    for (int i = 0; i < 3000; ++i) {
      const QString kw = QStringLiteral("kw%1.exe").arg(i, 4, 10, QLatin1Char('0'));
      const QString target = i % 3 == 0 ? doc : QStringLiteral("/srv/d%1").arg(i);
      store().writeValue(Hive::LocalMachine, kAppPathsKey + kw, QString(), store::Value::fromString(target));
    }
    for (int i = 0; i < 50; ++i) store().createKey(Hive::LocalMachine, kAppPathsKey + QStringLiteral("void%1.exe").arg(i));
    store().writeValue(Hive::LocalMachine, kAppPathsKey + "number.exe", QString(), store::Value::fromDWord(42));
    store().writeValue(Hive::LocalMachine, kAppPathsKey + "empty.exe", QString(), store::Value::fromString(""));
    ASSERT_TRUE(group.commit());
  }
  auto f = Window();
  EXPECT_EQ(f->windowTitle(), "Zelkar - 3001 Keywords");
  EXPECT_EQ(TmpImages(*f), 1000);  // one per file keyword, however many share a file
  EXPECT_EQ(f->tvw->Text(2), "kw0000.exe");
  EXPECT_EQ(f->tvw->Text(3), doc);
  EXPECT_EQ(f->tvw->Text(5), "/srv/d1");
  const int last = f->tvw->Count() - 1;
  EXPECT_EQ(f->tvw->Text(last), "number.exe");
  EXPECT_EQ(f->tvw->Text(last + 1), "42");
  EXPECT_EQ(f->tvw->Image(last), "fld");
  for (int i = 2; i <= f->tvw->Count(); i += 2) ASSERT_EQ(f->tvw->Parent(i + 1), i);
  EXPECT_TRUE(Has("empty.exe"));
  f->LoadTVW(true);
  EXPECT_FALSE(Has("empty.exe"));
  EXPECT_FALSE(Has("void49.exe"));
  EXPECT_TRUE(Has("kw2999.exe"));
  EXPECT_EQ(f->windowTitle(), "Zelkar - 3001 Keywords");
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
    EXPECT_EQ(f->tvw->Count(), 5);
    EXPECT_EQ(f->tvw->Text(2), "renamed.exe");
    EXPECT_EQ(f->tvw->ForeColor(2), colour::Red);
    EXPECT_EQ(f->tvw->Tag(2), "a.exe");
    EXPECT_EQ(f->tvw->ForeColor(4), colour::Blue);
    EXPECT_EQ(f->windowTitle(), "Zelkar - 2 Keywords");
  }
}

TEST(TreeViewTest, IndicesFollowAdditionAndRemovalRenumbers) {
  ImageList images;
  for (const char* key : {"fld", "key", "path"}) images.Add(QString::fromLatin1(key), QIcon());
  QWidget window;
  auto* tree = new TreeView(images, &window);
  tree->Add(0, 0, "Run Keywords", "key");
  for (const QString k : {"b.exe", "a.exe", "c.exe"}) tree->Add(tree->Add(1, tvwChild, k, "fld"), tvwChild, "/t/" + k, "path");
  ASSERT_EQ(tree->Count(), 7);
  EXPECT_EQ(tree->Text(4), "a.exe");
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FirstChild(4), 5);
  EXPECT_EQ(tree->Parent(2), 1);
  tree->Remove(2);  // a keyword node goes with its target node; the later ones move up
  ASSERT_EQ(tree->Count(), 5);
  EXPECT_EQ(tree->Text(3), "/t/a.exe");
  EXPECT_EQ(tree->Parent(5), 4);
  EXPECT_EQ(tree->FindKeywordPrefix("C"), 4);
  EXPECT_EQ(tree->Add(1, tvwChild, "x", "tmp9"), 0);  // an unknown image
  EXPECT_EQ(tree->Add(99, tvwChild, "x", "fld"), 0);  // an unknown parent
  EXPECT_EQ(tree->Count(), 5);
  tree->Clear();
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_EQ(tree->SelectedItem(), 0);
  EXPECT_TRUE(tree->Text(1).isEmpty());
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
  static std::string States(const frmMain& f) { return Snap(f).substr(Snap(f).size() - 11); }
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
  static void Click(const frmMain& f, int index, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(f.tvw->widget()->viewport(), button, Qt::NoModifier, Spot(f, index));
  }
};

TEST_F(InteractionTest, ClicksAndKeysSetTheWindowAsTheNodeAllows) {
  auto f = Window();
  ScriptedDialogs dialogs;
  const auto clicked = [&](int node) {
    Click(*f, node);
    return Snap(*f);
  };
  EXPECT_EQ(clicked(2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|D");
  // A target node of another keyword: the box names its keyword, which gets
  // selected; with its own keyword in the box already the target node stays selected.
  EXPECT_EQ(clicked(5), "beta.exe|http://example.org/B|4|EEEE|EEEE|D");
  EXPECT_EQ(clicked(5), "beta.exe|http://example.org/B|5|EEEE|EEEE|D");
  // A red keyword can be registered from here, until a click elsewhere.
  f->tvw->SetForeColor(2, colour::Red);
  f->tvw->SetTag(2, "alpha.exe");
  EXPECT_EQ(clicked(2), "alpha.exe|/srv/Alpha|2|EEEE|EEEE|E");
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|3|EEEE|EEEE|D");
  EXPECT_EQ(clicked(1), "||1|DDDD|DDDD|D");  // the root
  // A target node leaves Rename and Delete as they were: here the completion
  // of its keyword's name enabled the buttons, not the menu items.
  f->tvw->SetForeColor(2, colour::Black);
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|2|EEEE|EEDD|D");
  f->cmdRename->setEnabled(false);
  EXPECT_EQ(clicked(3), "alpha.exe|/srv/Alpha|3|EEEE|DEDD|D");  // the box holds its keyword: nothing re-enables it

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
  Click(*f, 2);
  Click(*f, 4, Qt::RightButton);  // no selection change: the menu is for alpha
  EXPECT_EQ(f->tvw->SelectedItem(), 2);
  EXPECT_EQ(f->lastPopup, f->mnuHide);
  EXPECT_EQ(f->lastPopupDefault, nullptr);
  EXPECT_EQ(f->mnuHMFE->text(), "Mark For Exportation");
  for (QAction* a : {f->mnuHideRun, f->mnuHideRename, f->mnuHideDelete}) EXPECT_TRUE(a->isEnabled());
  f->tvw->SetForeColor(2, colour::Blue);
  Click(*f, 2, Qt::RightButton);
  EXPECT_EQ(f->mnuHMFE->text(), "Unmark For Exportation");

  // Target node: Run is the default; the mark item follows its keyword.
  Click(*f, 3);
  Click(*f, 3);
  ASSERT_EQ(f->tvw->SelectedItem(), 3);
  Click(*f, 3, Qt::RightButton);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHideRun);
  EXPECT_EQ(f->mnuHMFE->text(), "Unmark For Exportation");
  EXPECT_TRUE(f->mnuHMFE->isEnabled());
  f->tvw->SetForeColor(2, colour::Red);
  Click(*f, 3, Qt::RightButton);
  EXPECT_FALSE(f->mnuHMFE->isEnabled());
  EXPECT_EQ(f->mnuHMFE->text(), "Mark For Exportation");

  // A red keyword: only Register and Restore.
  f->tvw->Select(2);
  f->tvw_MouseUp(2, 0, 0, 0);
  EXPECT_EQ(f->lastPopup, f->mnuRH);
  EXPECT_EQ(f->lastPopupDefault, nullptr);

  // The root: Run is the default but nothing acts on a node.
  Click(*f, 1);
  Click(*f, 1, Qt::RightButton);
  EXPECT_EQ(f->lastPopup, f->mnuHide);
  EXPECT_EQ(f->lastPopupDefault, f->mnuHideRun);
  for (QAction* a : {f->mnuHideRun, f->mnuHOCF, f->mnuHMFE, f->mnuHideRename, f->mnuHideDelete})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_TRUE(f->mnuHideRefresh->isEnabled());
  f->lastPopup = nullptr;  // a left release never pops anything up
  Click(*f, 2);
  EXPECT_EQ(f->lastPopup, nullptr);
}

TEST_F(InteractionTest, DeleteKeyAndDoubleClicks) {
  auto f = Window();
  ScriptedDialogs dialogs;  // any question not expected fails the test
  Click(*f, 1);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);  // Delete is disabled: nothing
  EXPECT_TRUE(Has("alpha.exe"));

  // A double click on a keyword only folds it; on a target it runs it.
  Click(*f, 2);
  QTreeWidgetItem* alpha = f->tvw->widget()->currentItem();
  const bool open = alpha->isExpanded();
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 2));
  EXPECT_NE(alpha->isExpanded(), open);
  EXPECT_EQ(Recorded(), "none");
  Click(*f, 1);  // from the root: the first click moves the selection to the keyword
  QTest::mouseDClick(f->tvw->widget()->viewport(), Qt::LeftButton, Qt::NoModifier, Spot(*f, 5));
  EXPECT_EQ(f->tvw->SelectedItem(), 5);
  EXPECT_EQ(Recorded(), "open http://example.org/B");

  Click(*f, 2);
  dialogs.expectBoxTitled("Delete ALPHA?", answer::Yes);
  QTest::keyClick(f->tvw->widget(), Qt::Key_Delete);
  EXPECT_FALSE(Has("alpha.exe"));
  EXPECT_EQ(f->KeywordCount(), 1);
}

TEST_F(InteractionTest, TypingCompletesInlineFromTheFirstKeywordThatMatches) {
  Put("notepad.exe", "/usr/bin/Notepad");
  Put("notes.exe", "/srv/Notes");
  Put("Äbc.exe", "/srv/abc");
  auto f = Window();
  ScriptedDialogs dialogs;
  QTest::keyClicks(f->txtExe, "NOTE");
  EXPECT_EQ(f->txtExe->text(), "NOTEpad.exe");
  EXPECT_EQ(f->txtExe->selectedText(), "pad.exe");
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notepad.exe"));
  EXPECT_EQ(States(*f), "EDDD|EEDD|D");  // the completion enables the buttons, not the menu
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run 'NOTEpad.exe' ");

  // Backspace takes the completed part away and completes nothing.
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOTE");
  EXPECT_TRUE(f->CompletionSuppressed);
  QTest::keyClick(f->txtExe, Qt::Key_Backspace);
  EXPECT_EQ(f->txtExe->text(), "NOT");
  QTest::keyClicks(f->txtExe, "ES");  // a further letter completes again
  EXPECT_EQ(f->txtExe->text(), "NOTES.exe");
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "notes.exe"));
  EXPECT_FALSE(f->CompletionSuppressed);
  f->txtExe->setText("äB");  // as typed
  EXPECT_EQ(f->txtExe->text(), "äBc.exe");

  // No keyword matches (a target's text is none): the selection stays, and
  // Register needs a target as well.
  for (const auto& [typed, kept] : {std::pair{"notes!", "notes.exe"}, std::pair{" note", ""}, std::pair{"/srv", ""}}) {
    f->txtExe->clear();
    QTest::keyClicks(f->txtExe, typed);
    EXPECT_EQ(f->txtExe->text(), typed);
    EXPECT_FALSE(f->cmdSave->isEnabled());
    EXPECT_EQ(f->tvw->SelectedItem(), *kept ? Node(*f, kept) : 1) << typed;
    f->lblPath->setCaption("/srv/other");
    QTest::keyClicks(f->txtExe, "x");
    EXPECT_TRUE(f->cmdSave->isEnabled()) << typed;
  }
  EXPECT_EQ(f->cmdRunTxt->toolTip(), " Run '/srvx' ");

  // Clearing the box resets the window.
  Click(*f, Node(*f, "notes.exe"));
  f->txtExe->selectAll();
  QTest::keyClick(f->txtExe, Qt::Key_Delete);
  EXPECT_FALSE(f->cmdRunTxt->isEnabled());
  EXPECT_EQ(Snap(*f), "||1|DDDD|DDDD|D");
}

TEST_F(InteractionTest, FocusSelectsAllAndAReloadLooksTheBoxUpAgain) {
  Put("zed.exe", "/srv/zed");
  auto f = Window();
  ScriptedDialogs dialogs;
  f->txtExe->setText("zed.exe");
  f->txtExe->deselect();
  QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
  QApplication::sendEvent(f->txtExe, &focus);
  EXPECT_EQ(f->txtExe->selectedText(), "zed.exe");
  Put("aaa.exe", "/srv/a");
  f->LoadTVW(false);
  EXPECT_EQ(f->tvw->SelectedItem(), Node(*f, "zed.exe"));
  EXPECT_EQ(f->tvw->Text(2), "aaa.exe");

  // With the list folded away the node buttons are left alone.
  f->ClickRootNode();
  f->tvw->hide();
  QTest::keyClicks(f->txtExe, "z");
  EXPECT_EQ(f->txtExe->text(), "zed.exe");
  EXPECT_FALSE(f->cmdRun->isEnabled());
  EXPECT_FALSE(f->cmdDelete->isEnabled());
}

}  // namespace
}  // namespace zelkar::test

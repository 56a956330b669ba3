#include <QDir>
#include <QImage>
#include <QTreeWidgetItem>

#include <functional>

#include "support/WindowTest.h"
#include "support/LabelEdit.h"

namespace zelkar::test {
namespace {

// Everything the tree shows, node by node, and the window around it.
QStringList Shown(const frmMain& f) {
  QStringList lines;
  const TreeView& tree = *f.tvw;
  QTreeWidget* widget = tree.widget();
  for (int i = 1; i <= tree.Count(); ++i) {
    const QImage picture = f.imlTVW->Picture(tree.Image(i)).pixmap(16, 16).toImage();
    lines << QStringLiteral("%1 parent %2: %3 [%4 %5] colour %6 tag %7").arg(i).arg(tree.Parent(i))
                 .arg(tree.Text(i), tree.Image(i)).arg(qHashBits(picture.constBits(), size_t(picture.sizeInBytes())))
                 .arg(tree.ForeColor(i)).arg(tree.Tag(i));
  }
  // Display order and folding: the root, each keyword, its target.
  QTreeWidgetItem* root = widget->topLevelItem(0);
  QString folding = root != nullptr && root->isExpanded() ? "+" : "-";
  for (int k = 0; root != nullptr && k < root->childCount(); ++k)
    folding += QStringLiteral(" %1%2").arg(root->child(k)->text(0), root->child(k)->isExpanded() ? "+" : "-");
  lines << folding;
  QStringList images;
  for (int i = 1; i <= f.imlTVW->Count(); ++i) images << f.imlTVW->Key(i);
  lines << images.join(' ') << f.windowTitle() << QString::number(tree.SelectedItem()) << f.txtExe->text();
  return lines;
}

// What the changes below need of the fixture.
class UpdateFixture : public WindowTest {
 public:
  using WindowTest::MakeFile;
  using WindowTest::Node;
  using WindowTest::path;
  using WindowTest::Put;
};

struct Change {
  const char* name;
  std::function<void(UpdateFixture&, frmMain&, ScriptedDialogs&)> make;
};

void PrintTo(const Change& change, std::ostream* os) { *os << change.name; }

class TreeUpdateTest : public UpdateFixture, public ::testing::WithParamInterface<Change> {};

// After every kind of change the tree brought up to date shows exactly what a
// full rebuild shows.
TEST_P(TreeUpdateTest, ShowsWhatAFullRebuildShows) {
  QDir(dir()).mkpath("Folder");
  Put("Alpha.exe", MakeFile("alpha.txt"));
  Put("blank.exe", QString());
  Put("calc.exe", MakeFile("calc.sh", "#!/bin/sh\n"));
  Put("docs.exe", "\"" + MakeFile("Docs.PDF") + "\"");
  Put("gone.exe", path("missing.txt"));
  Put("mail.exe", "www.example.org/Mail");
  Put("opt.exe", "%programfiles%/Vendor/tool");
  Put("zeta.exe", path("Folder"));
  auto f = Window();
  f->tvw->Select(4);
  f->tvw->widget()->currentItem()->setExpanded(true);  // a fold a rebuild does not keep

  ScriptedDialogs dialogs;
  GetParam().make(*this, *f, dialogs);
  EXPECT_TRUE(dialogs.allUsed());
  const QStringList updated = Shown(*f);
  f->LoadTVW(false);
  EXPECT_EQ(updated, Shown(*f));
}

void Register(frmMain& f, const QString& name, const QString& target) {
  f.txtExe->setText(name);
  f.lblPath->setCaption(target);
  f.cmdSave_Click();
}

void Delete(UpdateFixture& t, frmMain& f, ScriptedDialogs& dialogs, const QString& kw) {
  f.tvw_NodeClick(t.Node(f, kw));
  dialogs.expectBoxTitled("Delete " + kw.chopped(4).toUpper() + "?", answer::Yes);
  f.cmdDelete_Click();
}

const Change kChanges[] = {
    {"RegisterFirst", [](UpdateFixture& t, frmMain& f, ScriptedDialogs&) { Register(f, "aaa", t.MakeFile("a.png")); }},
    {"RegisterBetween", [](UpdateFixture& t, frmMain& f, ScriptedDialogs&) { Register(f, "beta", t.MakeFile("b.sh")); }},
    {"RegisterLast", [](UpdateFixture&, frmMain& f, ScriptedDialogs&) { Register(f, "zz", "http://example.org"); }},
    {"RegisterOverAFile",
     [](UpdateFixture& t, frmMain& f, ScriptedDialogs& dialogs) {
       dialogs.expectBoxTitled("Overwrite?", answer::Yes);
       Register(f, "calc", t.path("Folder"));
     }},
    {"DeleteFirst", [](UpdateFixture& t, frmMain& f, ScriptedDialogs& d) { Delete(t, f, d, "alpha.exe"); }},
    {"DeleteBetween", [](UpdateFixture& t, frmMain& f, ScriptedDialogs& d) { Delete(t, f, d, "docs.exe"); }},
    {"DeleteLast", [](UpdateFixture& t, frmMain& f, ScriptedDialogs& d) { Delete(t, f, d, "zeta.exe"); }},
    {"RenameAndRegister",
     [](UpdateFixture& t, frmMain& f, ScriptedDialogs&) {
       RenameByLabelEdit(f, t.Node(f, "calc.exe"), "yak");
       f.mnuRHRegister_Click();
     }},
    {"MarkedKeywordsDroppedByARegister",
     [](UpdateFixture& t, frmMain& f, ScriptedDialogs& dialogs) {
       for (const char* kw : {"alpha.exe", "mail.exe"}) {
         f.tvw->Select(t.Node(f, kw));
         f.mnuHMFE_Click();
       }
       dialogs.expectBoxTitled("Export Keywords?", answer::No);
       Register(f, "new", t.MakeFile("new.txt"));
     }},
    {"RenameLeftUnregisteredByADelete",
     [](UpdateFixture& t, frmMain& f, ScriptedDialogs& dialogs) {
       RenameByLabelEdit(f, t.Node(f, "mail.exe"), "post");
       f.tvw_NodeClick(t.Node(f, "gone.exe"));
       dialogs.expectBoxTitled("Delete GONE?", answer::Yes).expectBoxTitled("Unregistered Keyword", answer::No);
       f.cmdDelete_Click();
     }},
    {"AnotherWriter",
     [](UpdateFixture&, frmMain& f, ScriptedDialogs&) {
       UpdateFixture::Put("Added.exe", "\"%systemroot%/bin\"");
       UpdateFixture::Put("blank.exe", "/srv/now/a.target");
       modRegEdit::DeleteKey(store::Hive::LocalMachine, kAppPathsKey + "Alpha.exe");
       f.UpdateTVW(false);
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryChange, TreeUpdateTest, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelkar::test

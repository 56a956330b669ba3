// A dropped internet shortcut only ever becomes text for the user to see.
#include <QLineEdit>
#include <QTreeWidget>

#include "SecurityTest.h"
#include "app/Controls.h"
#include "edit/frmURL.h"
#include "list/TreeView.h"

namespace zelkar::test {
namespace {

using DroppedShortcutTest = SecurityTest;

TEST_F(DroppedShortcutTest, ShortcutsToScriptsOrProgramsAreNeverStarted) {
  const QString program = MakeRecorder(QStringLiteral("evil.sh"));
  const QString programUrl = FileUrl(program);
  // A shortcut that is also a script, in case anything took it for a program.
  const QString selfRunning = MakeScript(QStringLiteral("self.url"),
                                         "touch pwned\nexit 0\n[InternetShortcut]\nURL=" + programUrl.toUtf8() + "\n");
  const QString script =
      MakeFile(QStringLiteral("js.URL"), "[InternetShortcut]\nURL=javascript:alert(document.cookie)\n");
  Put(QStringLiteral("kept.exe"), QStringLiteral("/bin/kept"));
  CurrentFolder here(dir());
  auto f = Window();
  ScriptedDialogs dialogs;

  const struct {
    QString file;
    QString address;
  } shortcuts[] = {{selfRunning, programUrl}, {script, QStringLiteral("javascript:alert(document.cookie)")}};
  for (const auto& s : shortcuts) {
    const auto data = FileList({s.file});
    for (QWidget* target : {static_cast<QWidget*>(f->lblPath), static_cast<QWidget*>(f->fraTarget)}) {
      f->lblPath->setCaption(QString());
      ASSERT_TRUE(Drop(target, data.get()));
      EXPECT_EQ(f->lblPath->caption(), s.address);
    }

    dialogs.expectBoxTitled(QStringLiteral("Zelkar"), answer::OK);  // the tree loads only backups
    EXPECT_TRUE(Drop(f->tvw->widget()->viewport(), data.get()));

    frmURL::ModalHook hook([&](frmURL& w) {
      for (QWidget* part : std::initializer_list<QWidget*>{&w, w.Label1, w.txtURL, w.cmdOK, w.cmdCancel}) {
        w.txtURL->clear();
        Drop(part, data.get());
        EXPECT_EQ(w.txtURL->text(), s.address);
      }
      w.cmdOK_Click();
    });
    f->lblPath->setCaption(QString());
    f->cmdURL_Click();
    EXPECT_EQ(f->lblPath->caption(), s.address);
  }
  EXPECT_EQ(Requests(backend), "");
  EXPECT_EQ(Keys(), QStringList{QStringLiteral("kept.exe")});
  EXPECT_TRUE(ArgsOf(program, 500).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("pwned"))));
}

}  // namespace
}  // namespace zelkar::test

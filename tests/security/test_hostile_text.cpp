// Hostile text: typed or stored, it is launched as exactly what it names,
// never through a shell and never as an option of another program.
#include <QFileInfo>
#include <QStandardPaths>

#include "support/WindowTest.h"

namespace zelkar::test {
namespace {

using HostileTextTest = WindowTest;

TEST_F(HostileTextTest, ShellTextStartsNothingWhereverItIsGivenAndTypedWordsPassAsTyped) {
  const QString m = path("pwned");  // any shell that saw one of these would create it
  const QChar nul(u'\0');
  const QStringList texts = {"$(touch " + m + ")", "`touch " + m + "`", ";touch " + m, "zk-none | touch " + m,
                             "sh $(touch " + m + ")", "sh\ntouch " + m, "-c touch " + m, "--help",
                             "sh \"$(touch " + m + ")\"", "sh \"`touch " + m + "`\"", nul + QStringLiteral("/bin/sh"),
                             "sh" + QString(nul) + " -c 'touch " + m + "'", "/bin/sh" + QString(nul) + ";touch " + m,
                             "zk-none '$(touch " + m + ")'" + QString(100000, u' ') + "x"};
  auto f = Window();
  ScriptedDialogs dialogs;
  for (qsizetype i = 0; i < texts.size(); ++i) {
    const QString& text = texts[i];
    SCOPED_TRACE(text.left(60).toStdString());
    EXPECT_LE(Run(text), 32);  // typed or given as a target
    // Stored as a keyword's target, a text ends at its first zero character
    // (as the store reads strings); what follows never becomes an argument.
    Put("t" + QString::number(i) + ".exe", text);
    Run("t" + QString::number(i));
    const QString stored = text.left(text.indexOf(nul));
    const bool cut = text.contains(nul) && !stored.isEmpty();
    EXPECT_EQ(Recorded(), cut ? Start(stored.startsWith(u'/') ? stored : QStandardPaths::findExecutable(stored)) : "none");
    backend.clear();
    if (!text.contains(nul)) {  // a line edit keeps no zero characters
      f->txtExe->setText(text);
      dialogs.expectBoxTitled("Error", answer::OK);
      f->cmdRunTxt_Click();
    }
    EXPECT_EQ(Recorded(), "none");
  }
  // Words a shell would not change reach the program one by one, as typed.
  const QString script = MakeScript("prog.sh");
  f->txtExe->setText("'" + script + "' 'a b' '$(touch " + m + ")' --");
  f->cmdRunTxt_Click();
  EXPECT_EQ(Recorded(), Start(script) + "|a b|$(touch " + m.toStdString() + ")|--");
  EXPECT_FALSE(QFileInfo::exists(m));
}

}  // namespace
}  // namespace zelkar::test

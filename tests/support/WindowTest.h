#pragma once

#include "app/Controls.h"
#include "app/frmMain.h"
#include "support/RecordingLaunchBackend.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QColor>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <memory>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace zelkar::test {

using launch::LaunchRequest;
using launch::RecordingLaunchBackend;

// A main window over the test's store, files of the test's own, and every
// launch recorded instead of carried out.
class WindowTest : public StoreTest {
 protected:
  void TearDown() override;

  static void Put(const QString& kw, const QString& target) {
    modRegEdit::RegWriteValue(kAppPathsFull + kw + QStringLiteral("\\"), target, 0);
  }
  static bool Has(const QString& kw) { return modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + kw); }
  static QStringList Keys() { return modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey); }
  static QString TargetOf(const QString& kw) {
    return modRegEdit::GetString(store::Hive::LocalMachine, kAppPathsKey + kw, QString(), QString());
  }
  static void SetSetting(const QString& name, std::int32_t value) {
    modRegEdit::SaveDWord(store::Hive::CurrentUser, kSettingsKey, name, value);
  }
  // The stored number, nothing when the value is absent.
  static std::optional<std::int32_t> Setting(const QString& name) {
    constexpr std::int32_t kAbsent = -123456789;
    const std::int32_t v = modRegEdit::GetDWord(store::Hive::CurrentUser, kSettingsKey, name, kAbsent);
    return v == kAbsent ? std::nullopt : std::optional(v);
  }
  // Shown, its tree loaded.
  static std::unique_ptr<frmMain> Window();
  // The keyword node with this text, 0 when not listed.
  static int Node(const frmMain& f, const QString& text);

  QString MakeScript(const QString& name, const QByteArray& body = "exit 0\n");
  // A program that writes its own path and its arguments, each ended by a
  // zero byte, to "<itself>.argv".
  QString MakeRecorder(const QString& name);
  // What the recorder was last started with (and forgets it); nothing when it did not run in time.
  static QStringList ArgsOf(const QString& recorder, int waitMs = 10000);

  static std::unique_ptr<QMimeData> FileList(const QStringList& files);
  // Drags the data onto a widget and drops it there if the widget takes it, the
  // way the desktop does; false when the drag was refused.
  static bool Drop(QWidget* target, const QMimeData* data);

  static QString FileUrl(const QString& file) { return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded); }
  static std::int32_t Run(const QString& text, bool showErrors = false);
  // Every request since the last clear, one per line: "open <address>" or
  // "start <program>|<arguments...>"; "none" when there was none.
  std::string Recorded() const;
  // What launching `text` asked for, "failed " in front when it failed.
  std::string Launch(const QString& text);
  static std::string Open(const QString& file) { return "open " + FileUrl(file).toStdString(); }
  static std::string Start(const QString& program) { return "start " + program.toStdString(); }

  // An icon theme of the test's own: plain squares of 16 pixels, by file
  // ("16x16/apps/name") and colour.
  void UseIconTheme(const std::vector<std::pair<QString, QColor>>& icons);

  RecordingLaunchBackend backend;

 private:
  QStringList savedThemePaths_;
  QString savedTheme_;
};

}  // namespace zelkar::test

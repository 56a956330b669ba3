#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <memory>
#include <optional>

#include "app/Controls.h"
#include "app/frmMain.h"
#include "list/TreeView.h"
#include "shell/TrayIcon.h"
#include "shell/frmAbout.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"
#include "support/StoreTest.h"

namespace zelkar::test {

// A main window over the test's store, and its settings.
class ShellTest : public StoreTest {
 public:
  static QRect Screen() { return QGuiApplication::primaryScreen()->geometry(); }

 protected:
  void TearDown() override {
    TrayIcon::setAvailableForTests(-1);
    frmAbout::setProgramFolderForTests(QString());
    StoreTest::TearDown();
  }

  static void SetSetting(const QString& name, std::int32_t value) {
    modRegEdit::SaveDWord(store::Hive::CurrentUser, kSettingsKey, name, value);
  }
  // The stored number, nothing when the value is absent.
  static std::optional<std::int32_t> Setting(const QString& name) {
    constexpr std::int32_t kAbsent = -123456789;
    const std::int32_t v = modRegEdit::GetDWord(store::Hive::CurrentUser, kSettingsKey, name, kAbsent);
    if (v == kAbsent) return std::nullopt;
    return v;
  }
  static void Put(const QString& kw, const QString& target) {
    modRegEdit::RegWriteValue(kAppPathsFull + kw + "\\", target, 0);
  }
};

}  // namespace zelkar::test

#pragma once

#include "app/frmMain.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/StoreTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <map>
#include <memory>

namespace zelkar::test {

using Keywords = std::map<QString, QString>;  // subkey name -> target

class BackupTest : public StoreTest {
 protected:
  static constexpr int kAsk = 308;
  static void Put(const QString& kw, const QString& target) { modRegEdit::RegWriteValue(kAppPathsFull + kw + "\\", target, 0); }
  static Keywords Registered() {
    Keywords all;
    for (const QString& kw : modRegEdit::EnumKeys(store::Hive::LocalMachine, kAppPathsKey))
      all[kw] = modRegEdit::RegReadValue(kAppPathsFull + kw + "\\");
    return all;
  }
  static QString Dir() { return modRegEdit::GetString(store::Hive::CurrentUser, kSettingsKey, "Dir", ""); }
  static void SetSlot(int i, const QString& p) { modRegEdit::SaveString(store::Hive::CurrentUser, kSettingsKey + "\\MRU", QString::number(i), p); }
  static QStringList Slots() {
    QStringList all;
    for (int i = 0; i <= 4; ++i) all << modRegEdit::GetString(store::Hive::CurrentUser, kSettingsKey + "\\MRU", QString::number(i), "");
    return all;
  }
  static QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QString Write(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    return path(name);
  }
  QString Sample(const QString& name, const QString& as) { return Write(as, Bytes(testdata("backups/" + name))); }
  std::unique_ptr<frmMain> Window(const QString& commandLine = QString()) {
    auto form = std::make_unique<frmMain>(commandLine);
    form->LoadTVW(false);
    return form;
  }
  static int Node(const frmMain& form, const QString& text) {
    for (int i = 2; i <= form.tvw->Count(); i += 2)
      if (form.tvw->Text(i) == text) return i;
    return 0;
  }
  static void ExpectLoadQuestion(ScriptedDialogs& d, const QString& file, int answer) {
    d.expectBox("Load '" + file + "'?", "Load and save keywords from '" + file + "'?", answer, kAsk);
  }
};

}  // namespace zelkar::test

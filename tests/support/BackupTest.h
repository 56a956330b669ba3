#pragma once

#include "backup/core/modINI.h"
#include "store/PathHelpers.h"
#include "support/WindowTest.h"

#include <QDir>

#include <map>

namespace zelkar::test {

using Keywords = std::map<QString, QString>;  // subkey name -> target

// Backup files and the keywords they hold, over WindowTest's window and store.
class BackupTest : public WindowTest {
 protected:
  static constexpr int kAsk = 308;
  static Keywords Registered() {
    Keywords all;
    for (const QString& kw : Keys()) all[kw] = modRegEdit::RegReadValue(kAppPathsFull + kw + "\\");
    return all;
  }
  // The keywords as a fresh opening of the store finds them on disk.
  static Keywords OnDisk() {
    store::RegistryStore::useLocation(store::StoreLocation::fromEnvironment());
    Keywords all = Registered();
    store::RegistryStore::useLocation(store::StoreLocation::fromEnvironment());
    return all;
  }
  static void PutAll(const Keywords& entries) {
    store::RegistryStore::Transaction group(store::RegistryStore::current(), store::Hive::LocalMachine);
    for (const auto& [kw, target] : entries) Put(kw, target);
    group.commit();
  }
  // `count` entries keyword<i>.exe -> targetBase/<i>, and a current-format file of them.
  static Keywords Entries(int count, const QString& prefix, const QString& targetBase) {
    Keywords all;
    for (int i = 1; i <= count; ++i) all[prefix + QString::number(i) + ".exe"] = targetBase + '/' + QString::number(i);
    return all;
  }
  QString Backup(const QString& name, int count, const QString& prefix, const QString& targetBase) {
    QByteArray keywords, targets;
    for (int i = 1; i <= count; ++i) {
      keywords += (QString::number(i) + '=' + prefix + QString::number(i) + ".exe\r\n").toUtf8();
      targets += (QString::number(i) + '=' + targetBase + '/' + QString::number(i) + "\r\n").toUtf8();
    }
    return Write(name, "[Zelkar]\r\nVersion=18\r\n[Keywords]\r\n" + keywords + "[Targets]\r\n" + targets +
                           QStringLiteral("[Count]\r\nKeywords=%1\r\n").arg(count).toUtf8());
  }
  static Keywords ReadEntriesOf(const QString& file) {
    Keywords entries;
    const int count = modINI::ReadINI("Count", "Keywords", file).toInt();
    for (int i = 1; i <= count; ++i)
      entries[modINI::ReadINI("Keywords", QString::number(i), file)] = modINI::ReadINI("Targets", QString::number(i), file);
    return entries;
  }
  // The entries of the tree, keyword node text -> target node text.
  static Keywords Tree(const frmMain& form) {
    Keywords shown;
    for (int i = 2; i + 1 <= form.tvw->Count(); i += 2) shown[form.tvw->Text(i)] = form.tvw->Text(i + 1);
    return shown;
  }
  static QString Dir() { return modRegEdit::GetString(store::Hive::CurrentUser, kSettingsKey, "Dir", ""); }
  static QStringList Slots() {
    QStringList all;
    for (int i = 0; i <= 4; ++i)
      all << modRegEdit::GetString(store::Hive::CurrentUser, kSettingsKey + "\\MRU", QString::number(i), "");
    return all;
  }
  static QByteArray Bytes(const QString& file) { return ReadFile(file); }
  QString Write(const QString& name, const QByteArray& bytes) { return MakeFile(name, bytes); }
  QString Sample(const QString& name, const QString& as) { return Write(as, Bytes(testdata("backups/" + name))); }
  // Every name in a folder of the test, hidden ones too.
  QStringList FilesIn(const QString& folder) const {
    return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                        QDir::Name);
  }
  static void ExpectLoadQuestion(ScriptedDialogs& d, const QString& file, int answer) {
    d.expectBox("Load '" + file + "'?", "Load and save keywords from '" + file + "'?", answer, kAsk);
  }
};

}  // namespace zelkar::test

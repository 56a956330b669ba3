// Backup files: any bytes, loaded and imported into a store of the run's own.
// A load or import either takes every entry of the file or changes nothing,
// never touches a key outside App Paths, and never starts anything.
#include "FuzzSupport.h"

#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"

#include <algorithm>

using namespace zelkar;

namespace {

const std::map<QString, QString> kBefore = {
    {"alpha.exe", "/usr/bin/alpha"}, {"Beta.exe", "www.example.org/beta"}, {"gamma", "/srv/Gamma Folder"}};

// The entries of a file that a load or import took, the last of equal names
// winning (folded name -> name, target), each checked to be in the store. The
// file must be of the current format.
std::map<QString, std::pair<QString, QString>> Entries(const QString& file) {
  modINI::Batch batch(file);
  const auto version = backup::ProfileNumber(modINI::ReadINI(backup::kSectionZelkar, backup::kKeyVersion, file));
  const auto count = backup::ProfileCount(modINI::ReadINI(backup::kSectionCount, backup::kKeyCount, file));
  fuzz::Check(version && *version >= backup::kCurrentFormat && count, "a file taken is of the current format");
  std::map<QString, std::pair<QString, QString>> entries;
  const qint64 last = std::min<qint64>(*count, modINI::HighestNumberedKey(backup::kSectionKeywords, file));
  for (qint64 i = 1; i <= last; ++i) {
    const QString keyword = modINI::ReadINI(backup::kSectionKeywords, QString::number(i), file);
    const QString target = modINI::ReadINI(backup::kSectionTargets, QString::number(i), file);
    if (!keyword.isEmpty() && !target.isEmpty()) entries[keyword.toCaseFolded()] = {keyword, target};
  }
  // Left out: targets the listing mends (quotes, folder variables) and names
  // that reach below a keyword.
  for (const auto& item : entries) {
    const auto& [keyword, target] = item.second;
    if (keyword.contains(u'\\') || target.contains(u'"') || target.startsWith(u'%') || target.contains(QChar(0)) ||
        keyword.contains(QChar(0)))
      continue;
    ZELKAR_FUZZ_CHECK(modRegEdit::RegReadValue(kAppPathsFull + keyword + u'\\') == target);
  }
  return entries;
}

// The keys outside App Paths: no keyword name, however it spells a path, reaches one.
QStringList Outside(QStringList keys) {
  keys.removeIf([](const QString& key) { return key.startsWith(fuzz::AppPaths()); });
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  frmMain& form = fuzz::Window();
  fuzz::AnsweringDialogs dialogs;
  launch::RecordingLaunchBackend launcher;
  for (const bool load : {true, false}) {
    fuzz::ResetKeywords(kBefore);
    form.LoadTVW(false);
    const QStringList before = fuzz::MachineKeys();
    const QString file = fuzz::WriteFile(QStringLiteral("backup.zkb"), fuzz::Bytes(data, size));
    if (!(load ? form.LoadList(file) : form.ImportList(file))) {
      ZELKAR_FUZZ_CHECK(fuzz::MachineKeys() == before);
    } else if (const auto entries = Entries(file); load) {
      // Every entry of the file and nothing else.
      for (const QString& name : store::RegistryStore::current().subkeys(store::Hive::LocalMachine, fuzz::AppPaths()))
        ZELKAR_FUZZ_CHECK(std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
          return entry.second.first.split(u'\\', Qt::SkipEmptyParts).value(0).toCaseFolded() == name.toCaseFolded();
        }));
    } else {
      // The file's entries on top of the keywords of before.
      for (const auto& [name, target] : kBefore)
        if (!entries.count(name.toCaseFolded()))
          ZELKAR_FUZZ_CHECK(modRegEdit::RegReadValue(kAppPathsFull + name + u'\\') == target);
    }
    ZELKAR_FUZZ_CHECK(Outside(fuzz::MachineKeys()) == Outside(before));
    ZELKAR_FUZZ_CHECK(form.tvw->Count() % 2 == 1);
  }
  ZELKAR_FUZZ_CHECK(launcher.requests().empty());
  return 0;
}

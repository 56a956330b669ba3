// Backup files: any bytes, loaded and imported into a store of the run's own.
// A load or import either takes every entry of the file or changes nothing,
// and nothing is ever started.
#include "FuzzSupport.h"
#include "KeywordSnapshot.h"

#include "app/frmMain.h"
#include "backup/core/BackupFormat.h"
#include "backup/core/modINI.h"
#include "support/RecordingLaunchBackend.h"
#include "list/TreeView.h"
#include "store/modRegEdit.h"

#include <algorithm>
#include <map>
#include <memory>

using namespace zelkar;

namespace {

const std::map<QString, QString> kBefore = {
    {QStringLiteral("alpha.exe"), QStringLiteral("/usr/bin/alpha")},
    {QStringLiteral("Beta.exe"), QStringLiteral("www.example.org/beta")},
    {QStringLiteral("gamma"), QStringLiteral("/srv/Gamma Folder")},
};

// The entries of a current-format file as a load takes them, the last of
// equal names winning; nothing when the file is not one.
std::optional<std::map<QString, std::pair<QString, QString>>> Entries(const QString& file) {
  modINI::Batch batch(file);
  const auto version = backup::ProfileNumber(modINI::ReadINI(backup::kSectionZelkar, backup::kKeyVersion, file));
  const auto count = backup::ProfileCount(modINI::ReadINI(backup::kSectionCount, backup::kKeyCount, file));
  if (!version || *version < backup::kCurrentFormat || !count) return std::nullopt;
  std::map<QString, std::pair<QString, QString>> entries;  // folded name -> (name, target)
  const qint64 last = std::min<qint64>(*count, modINI::HighestNumberedKey(backup::kSectionKeywords, file));
  for (qint64 i = 1; i <= last; ++i) {
    const QString keyword = modINI::ReadINI(backup::kSectionKeywords, QString::number(i), file);
    const QString target = modINI::ReadINI(backup::kSectionTargets, QString::number(i), file);
    if (!keyword.isEmpty() && !target.isEmpty()) entries[keyword.toCaseFolded()] = {keyword, target};
  }
  return entries;
}

// Whether the store holds the entry as the file has it. Entries whose target
// the listing mends (quotes, folder variables) or whose name reaches below a
// keyword are left out of the comparison.
void CheckTaken(const std::map<QString, std::pair<QString, QString>>& entries) {
  for (const auto& [folded, entry] : entries) {
    const auto& [keyword, target] = entry;
    if (keyword.contains(u'\\') || target.contains(u'"') || target.startsWith(u'%') || target.contains(QChar(0)) ||
        keyword.contains(QChar(0)))
      continue;
    ZELKAR_FUZZ_CHECK(modRegEdit::RegReadValue(kAppPathsFull + keyword + u'\\') == target);
  }
}

void CheckTree(const frmMain& form) { ZELKAR_FUZZ_CHECK(form.tvw->Count() % 2 == 1); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  frmMain* const form = &fuzz::Window();
  fuzz::AnsweringDialogs dialogs;
  launch::RecordingLaunchBackend launcher;
  const QByteArray bytes = fuzz::Bytes(data, size);

  // Load: every entry of the file and nothing else, or the keywords of before.
  fuzz::ResetKeywords(kBefore);
  form->LoadTVW(false);
  const fuzz::Snapshot before = fuzz::Keywords();
  const QString loaded = fuzz::WriteFile(QStringLiteral("load.zkb"), bytes);
  if (form->LoadList(loaded)) {
    const auto entries = Entries(loaded);
    ZELKAR_FUZZ_CHECK(entries.has_value());
    CheckTaken(*entries);
    for (const auto& [name, value] : fuzz::Keywords()) {
      bool fromFile = false;
      for (const auto& [folded, entry] : *entries)
        fromFile = fromFile ||
                   entry.first.split(u'\\', Qt::SkipEmptyParts).value(0).toCaseFolded() == name.toCaseFolded();
      ZELKAR_FUZZ_CHECK(fromFile);
    }
  } else {
    ZELKAR_FUZZ_CHECK(fuzz::Keywords() == before);
  }
  CheckTree(*form);

  // Import: the file's entries on top of the keywords of before, or nothing.
  fuzz::ResetKeywords(kBefore);
  form->LoadTVW(false);
  const QString imported = fuzz::WriteFile(QStringLiteral("import.zkb"), bytes);
  if (form->ImportList(imported)) {
    const auto entries = Entries(imported);
    ZELKAR_FUZZ_CHECK(entries.has_value());
    CheckTaken(*entries);
    for (const auto& [name, target] : kBefore)
      if (!entries->count(name.toCaseFolded()))
        ZELKAR_FUZZ_CHECK(modRegEdit::RegReadValue(kAppPathsFull + name + u'\\') == target);
  } else {
    ZELKAR_FUZZ_CHECK(fuzz::Keywords() == before);
  }
  CheckTree(*form);
  ZELKAR_FUZZ_CHECK(launcher.requests().empty());
  return 0;
}

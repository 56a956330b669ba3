#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "list/TreeView.h"
#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"

#include <exception>
#include <optional>

namespace zelkar {
namespace {

// The default value of a keyword entry, as the path-based family addresses it.
QString EntryTarget(const QString& kw) { return kAppPathsFull + kw + QLatin1Char('\\'); }

// Stores the load's cleaned target in place of the one it read. Another program
// may have changed or deleted the entry since; reading it again and writing go
// in one step, so its work stands and a deleted keyword does not come back.
void RewriteTarget(const QString& kw, const QString& read, const QString& cleaned) {
  store::RegistryStore& store = store::RegistryStore::current();
  const std::optional<store::Value> stored =
      store.readValue(store::Hive::LocalMachine, kAppPathsKey + kw, QString());
  if (stored && *stored == store::Value::fromString(cleaned)) return;  // already so: nothing to write
  store::RegistryStore::Transaction step(store, store::Hive::LocalMachine);
  if (modRegEdit::RegReadValue(EntryTarget(kw)) != read) return;
  modRegEdit::RegWriteValue(EntryTarget(kw), cleaned, 0);
  step.commit();
}

}  // namespace

bool frmMain::SaveKeyword(const QString& kw, const QString& Target, bool OverWritePrompt) {
  try {
    if (OverWritePrompt && modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + kw)) {
      const int answer = MsgBox(QStringLiteral("This keyword is already registered, would you like to overwrite it?"),
                                mb::YesNo + mb::Exclamation + mb::DefaultButton2, QStringLiteral("Overwrite?"));
      if (answer == answer::No) return false;
    }
    modRegEdit::RegWriteValue(EntryTarget(kw), Target, 0);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool frmMain::DeleteKeyword(const QString& kw, bool Refresh) {
  try {
    modRegEdit::DeleteKey(store::Hive::LocalMachine, kAppPathsKey + kw);
    if (Refresh) UpdateTVW(false);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void frmMain::DeleteKeywords() {
  // Counted once: the tree is not rebuilt while the entries go.
  const int count = tvw->Count();
  for (int i = 2; i <= count; ++i) {
    const QString image = tvw->Image(i);
    if (image != QLatin1String("key") && image != QLatin1String("path")) DeleteKeyword(tvw->Text(i), false);
  }
}

QString frmMain::ClearQuotes(const QString& exe, const QString& s) {
  const QString t = WithoutEnclosingQuotes(s);
  try {
    RewriteTarget(exe, s, t);
  } catch (const std::exception&) {
    // The tree shows the cleaned target all the same; the next load tries again.
  }
  return t;
}

bool frmMain::FixVarPath(const QString& kw, const QString& s) {
  if (!s.startsWith(QLatin1Char('%'))) return false;
  const qsizetype second = s.indexOf(QLatin1Char('%'), 1);
  if (second < 0) return false;
  const QString name = s.mid(1, second - 1);
  std::int32_t folder = 0;
  if (name == QLatin1String("programfiles"))
    folder = 38;
  else if (name == QLatin1String("systemroot"))
    folder = 36;
  else
    return false;
  const QString target = modMain::GetSpecialFolder(folder) + s.mid(second + 1);
  try {
    RewriteTarget(kw, s, target);
  } catch (const std::exception&) {
    // The caller reads the entry again and so sees what is really stored.
  }
  return true;
}

}  // namespace zelkar

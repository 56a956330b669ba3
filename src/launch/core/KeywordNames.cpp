#include "launch/core/KeywordNames.h"

#include "launch/core/KeywordOpen.h"
#include "store/Keywords.h"
#include "store/RegistryStore.h"

namespace zelkar::launch {

QStringList KeywordNames(const QString& prefix) {
  static const QString kExe = QStringLiteral(".exe");
  const QString folded = prefix.toCaseFolded();
  QStringList names;
  for (const QString& subkey : store::RegistryStore::current().subkeys(store::Hive::LocalMachine, kAppPathsKey)) {
    if (!subkey.endsWith(kExe, Qt::CaseInsensitive)) continue;  // never found by its name
    const QString name = subkey.chopped(kExe.size());
    if (!folded.isEmpty() && !name.toCaseFolded().startsWith(folded)) continue;
    if (IsTypedKeywordName(name)) names.append(name);
  }
  return names;
}

}  // namespace zelkar::launch

#pragma once

#include "store/Keywords.h"
#include "store/RegistryStore.h"

#include <QString>

#include <map>

namespace zelkar::fuzz {

// The keyword entries as the store holds them: subkey name -> default value.
using Snapshot = std::map<QString, std::optional<store::Value>>;

inline QString AppPaths() { return kAppPathsKey.chopped(1); }

inline Snapshot Keywords() {
  store::RegistryStore& reg = store::RegistryStore::current();
  Snapshot all;
  for (const QString& name : reg.subkeys(store::Hive::LocalMachine, AppPaths()))
    all[name] = reg.readValue(store::Hive::LocalMachine, AppPaths() + u'\\' + name, QString());
  return all;
}

// Replaces every keyword entry (and what lies below them) with `entries`.
inline void ResetKeywords(const std::map<QString, QString>& entries) {
  store::RegistryStore& reg = store::RegistryStore::current();
  store::RegistryStore::Transaction group(reg, store::Hive::LocalMachine);
  const auto remove = [&reg](const auto& self, const QString& path) -> void {
    for (const QString& child : reg.subkeys(store::Hive::LocalMachine, path)) self(self, path + u'\\' + child);
    reg.deleteKey(store::Hive::LocalMachine, path);
  };
  for (const QString& name : reg.subkeys(store::Hive::LocalMachine, AppPaths()))
    remove(remove, AppPaths() + u'\\' + name);
  for (const auto& [name, target] : entries)
    reg.writeValue(store::Hive::LocalMachine, AppPaths() + u'\\' + name, QString(), store::Value::fromString(target));
  group.commit();
}

}  // namespace zelkar::fuzz

#pragma once

#include "store/RegistryStore.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The registry access layer: both families over the process's store. No
// operation reports a failure to its caller.
namespace zelkar::modRegEdit {

using store::Hive;

// Handle-based family: hive, key path, value name ("" = the default value).
QString GetString(Hive hive, const QString& path, const QString& name, const QString& defaultValue);
std::int32_t GetDWord(Hive hive, const QString& path, const QString& name, std::int32_t defaultValue);
void SaveString(Hive hive, const QString& path, const QString& name, const QString& text);
void SaveDWord(Hive hive, const QString& path, const QString& name, std::int32_t number);
QStringList EnumKeys(Hive hive, const QString& path);
// The subkeys as EnumKeys lists them, each with its default value, in one read.
QList<store::SubkeyDefault> EnumKeyDefaults(Hive hive, const QString& path);
void DeleteKey(Hive hive, const QString& path);

// Path-based family: one full path beginning with the root's name
// ("HKEY_LOCAL_MACHINE\...", "HKLM\...", "HKEY_CLASSES_ROOT\...", ...).
// A full path ending in "\" addresses the key's default value.
void RegWriteValue(const QString& fullPath, const QString& text, std::int16_t failMode);
QString RegReadValue(const QString& fullPath);
// A stored value as RegReadValue reads it: a string's text, an expandable
// string expanded, a number in decimal; empty for any other type.
QString ValueText(const store::Value& value);

// Whether a key exists (opening it), as the overwrite question needs.
bool KeyExists(Hive hive, const QString& path);

// Splits a full path into hive and key path; false for an unknown root.
bool ParseFullPath(const QString& fullPath, Hive& hive, QString& keyPath, QString& valueName);

}  // namespace zelkar::modRegEdit

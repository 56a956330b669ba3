#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace zelkar::backup {

// The program's version, as backup files and windows show it.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 8;
inline const QString kVersionString = QStringLiteral("18");  // major then minor
constexpr std::int16_t kCurrentFormat = 18;

// Sections and keys of a backup file.
inline const QString kSectionZelkar = QStringLiteral("Zelkar");
inline const QString kKeyVersion = QStringLiteral("Version");
inline const QString kSectionKeywords = QStringLiteral("Keywords");
inline const QString kSectionTargets = QStringLiteral("Targets");
inline const QString kSectionCount = QStringLiteral("Count");
inline const QString kKeyCount = QStringLiteral("Keywords");

// A profile number as a backup file's version and count are read back: the
// leading decimal number of the text (empty or non-numeric text is 0), rounded
// half to even, as a signed 16-bit integer. Nothing when it does not fit.
std::optional<std::int16_t> ProfileNumber(const QString& text);
// An entry count, read by the same rule into a signed 32-bit integer, so that
// every file Zelkar writes (more than 32,767 keywords included) loads again.
std::optional<std::int32_t> ProfileCount(const QString& text);

// Reads the fields of an old-format backup file, two per record (keyword, then
// target), calling `record` for each pair until the end of the file. Returns
// false when the file cannot be opened (then `error` holds the reason).
bool ReadOldFormatRecords(const QString& path,
                          const std::function<void(const QString& keyword, const QString& target)>& record,
                          QString* error);

// Converts an old-format backup file into the current layout in place. The new
// text is written to a work file of its own beside it and renamed over it in one
// step, so on failure the file stays as it was and no work file is left. False
// when the file cannot be read or replaced (then `error` holds the reason).
bool ConvertOldFormat(const QString& path, QString* error);

}  // namespace zelkar::backup

#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// Profile (INI) files, one key at a time. Section and key names match without
// regard to case; reads give "" for anything missing and at most 254 characters.
// Files are read as UTF-8, or as Windows-1252 when they are not valid UTF-8, and
// written as UTF-8.
namespace zelkar::modINI {

// Stores Value under Key in Section of File; nonzero on success.
std::int16_t WriteINI(const QString& Section, const QString& Key, const QString& Value,
                      const QString& File);
// The value under Key in Section of File, "" when missing; at most 254 characters.
QString ReadINI(const QString& Section, const QString& Key, const QString& File);
// As ReadINI, from a file read only when it is a regular file of at most
// `limit` bytes; nothing when the file is there but cannot be used.
std::optional<QString> ReadINIWithin(const QString& Section, const QString& Key, const QString& File,
                                     qint64 limit);

// The largest key of Section in File that is a decimal number (0 when none):
// readers of numbered entries need look no further.
qint64 HighestNumberedKey(const QString& Section, const QString& File);

// While a Batch for a file is open, WriteINI and ReadINI on that file work on
// one parsed copy, written out once when the batch ends (or at flush()).
// Outside any batch every WriteINI writes through.
class Batch {
 public:
  explicit Batch(const QString& file);
  ~Batch();  // flushes
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  // Writes the parsed copy out now; false when the file could not be written.
  bool flush();
  // Whether every write of this batch reached the file so far.
  bool ok() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelkar::modINI

#pragma once

#include "backup/core/UserFile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zelkar::modINI {

// The parsed text of one profile file. Every line is kept as written so that a
// rewrite changes only what was written; sections and keys are indexed by their
// folded names, so reading or writing one key costs the same in a file of any size.
class ProfileDocument {
 public:
  // A cheap hash of folded names, seeded per process so that collisions cannot
  // be planned into a file; Qt's seeded string hash costs more than a lookup.
  struct NameHash {
    std::size_t operator()(const QString& name) const noexcept;
  };
  using NameIndex = std::unordered_map<QString, qsizetype, NameHash>;

  // An empty file that does not exist yet (written with CR LF line ends).
  ProfileDocument() = default;
  // Lines end in CR LF, LF or a lone CR; the style of the first line end is kept.
  static ProfileDocument parse(QStringView text, bool bom);

  // The value of Key in Section with the blanks around it removed, as stored
  // (quotes kept, not cut); nothing when the section or key is missing.
  std::optional<QString> value(QStringView section, QStringView key) const;
  // The largest key of the section that is a decimal number, 0 when none is.
  qint64 highestNumberedKey(QStringView section) const;
  // Stores the value: in place when the key exists, else after the section's
  // last key line, in a new section at the end when the section is missing.
  // False when the file's text stays the same.
  bool setValue(QStringView section, QStringView key, QStringView value);

  // The file's bytes: UTF-8, every line ended in the file's style.
  QByteArray toBytes() const;

 private:
  struct Section {
    QString header;                     // the header line as written
    std::vector<QString> lines;         // the lines after it, up to the next header
    NameIndex keys;                     // folded key name -> first line holding it
    qsizetype lastKey = -1;             // index of the last key line
  };
  void addLine(QStringView line);

  std::vector<QString> preamble_;       // lines before the first section: kept, never read
  std::vector<Section> sections_;
  NameIndex sectionIndex_;              // folded name -> first section of that name
  enum class LineEnd { CrLf, Lf, Cr };
  LineEnd eol_ = LineEnd::CrLf;
  bool bom_ = false;
};

// What loading a file gave. A missing file is an empty, readable document.
struct LoadedProfile {
  ProfileDocument doc;
  bool exists = false;
  bool readable = true;  // false: the file is there but could not be read
  QString error;         // why not, in words
};
// Reads only a regular file of at most `limit` bytes (see ReadUserFile).
LoadedProfile LoadProfile(const QString& path, qint64 limit = kBackupFileLimit);

// Writes the document atomically: a new file beside the old one renamed over it,
// so a failure leaves the old file whole. Keeps the old file's permissions.
bool SaveProfile(const QString& path, const ProfileDocument& doc, QString* error);

// After a file was replaced outside the profile layer, a batch open on it takes
// the new text as its copy, so that it neither reads stale values nor writes them back.
void AdoptSavedProfile(const QString& path, const ProfileDocument& doc);

}  // namespace zelkar::modINI

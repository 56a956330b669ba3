#include "backup/core/BackupFormat.h"

#include "backup/core/ProfileDocument.h"
#include "backup/core/ProfileText.h"
#include "backup/core/UserFile.h"

#include <limits>

namespace zelkar::backup {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsBlankByte(char c) { return c == ' ' || c == '\t'; }

// The fields of an old-format backup file, one after another. The delimiters
// are ASCII, so the fields are found in the file's bytes and only they are
// decoded: UTF-8, or Windows-1252 for a file that is not valid UTF-8.
class OldFormatFields {
 public:
  explicit OldFormatFields(QByteArrayView text) : text_(text) {
    if (text_.startsWith("\xEF\xBB\xBF")) text_ = text_.sliced(3);
    utf8_ = text_.isValidUtf8();
  }

  bool atEnd() const { return pos_ >= text_.size(); }

  QString next() {
    while (pos_ < text_.size() && IsBlankByte(text_[pos_])) ++pos_;
    if (atEnd()) return QString();
    if (text_[pos_] == '"') {
      // Commas and line ends inside the quotes belong to the field; without a
      // closing quote it runs to the end of the file.
      const qsizetype open = pos_ + 1;
      const qsizetype close = text_.indexOf('"', open);
      if (close < 0) {
        pos_ = text_.size();
        return decode(text_.sliced(open));
      }
      pos_ = close + 1;
      skipPastDelimiter();
      return decode(text_.sliced(open, close - open));
    }
    const qsizetype start = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    qsizetype end = pos_;
    while (end > start && IsBlankByte(text_[end - 1])) --end;
    stepOverDelimiter();
    return decode(text_.sliced(start, end - start));
  }

 private:
  QString decode(QByteArrayView field) const {
    return utf8_ ? QString::fromUtf8(field) : modINI::DecodeCp1252(field);
  }
  // A field ends at a comma or a line end: CR LF, LF or a lone CR.
  static bool IsDelimiter(char c) { return c == ',' || c == '\n' || c == '\r'; }
  void stepOverDelimiter() {
    if (pos_ >= text_.size()) return;
    const bool crlf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
    pos_ += crlf ? 2 : 1;
  }
  void skipPastDelimiter() {
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    stepOverDelimiter();
  }

  QByteArrayView text_;
  qsizetype pos_ = 0;
  bool utf8_ = true;
};

// The leading decimal number of the text, rounded half to even; nothing when
// it lies outside [low, high].
std::optional<std::int64_t> LeadingNumber(const QString& text, std::int64_t low, std::int64_t high) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

  // Beyond this the number is out of range whatever follows; stop growing it.
  constexpr std::int64_t kCap = 100'000'000'000;
  std::int64_t whole = 0;
  for (; i < n && IsDigit(text[i]); ++i)
    if (whole < kCap) whole = whole * 10 + (text[i].unicode() - u'0');

  if (i < n && text[i] == u'.' && i + 1 < n && IsDigit(text[i + 1])) {
    ++i;
    const int first = text[i].unicode() - u'0';
    bool restNonZero = false;
    for (++i; i < n && IsDigit(text[i]); ++i) restNonZero = restNonZero || text[i] != u'0';
    const bool up = first > 5 || (first == 5 && (restNonZero || whole % 2 == 1));
    if (up) ++whole;
  }
  const std::int64_t value = negative ? -whole : whole;
  if (value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int16_t> ProfileNumber(const QString& text) {
  const auto value =
      LeadingNumber(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
  if (!value) return std::nullopt;
  return static_cast<std::int16_t>(*value);
}

std::optional<std::int32_t> ProfileCount(const QString& text) {
  const auto value =
      LeadingNumber(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

bool ReadOldFormatRecords(const QString& path,
                          const std::function<void(const QString& keyword, const QString& target)>& record,
                          QString* error) {
  const UserFile file = ReadUserFile(path, kBackupFileLimit);
  if (!file.ok()) {
    if (error) *error = file.problem;
    return false;
  }
  OldFormatFields fields(file.bytes);
  while (!fields.atEnd()) {
    const QString keyword = fields.next();
    const QString target = fields.next();
    record(keyword, target);
  }
  return true;
}

bool ConvertOldFormat(const QString& path, QString* error) {
  // Built in memory and written in one step over the old file: a work file of
  // a fixed name could be a stranger's file, and deleting the original before
  // the move could lose both.
  modINI::ProfileDocument doc;
  doc.setValue(kSectionZelkar, kKeyVersion, kVersionString);
  int counter = 0;
  const bool read = ReadOldFormatRecords(
      path,
      [&](const QString& keyword, const QString& target) {
        if (keyword.isEmpty() || target.isEmpty()) return;
        ++counter;
        const QString number = QString::number(counter);
        doc.setValue(kSectionKeywords, number, keyword);
        doc.setValue(kSectionTargets, number, target);
      },
      error);
  if (!read) return false;
  doc.setValue(kSectionCount, kKeyCount, counter == 0 ? QString() : QString::number(counter));
  if (!modINI::SaveProfile(path, doc, error)) return false;
  modINI::AdoptSavedProfile(path, doc);
  return true;
}

}  // namespace zelkar::backup

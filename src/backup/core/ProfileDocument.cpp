#include "backup/core/ProfileDocument.h"

#include "backup/core/ProfileText.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <algorithm>
#include <cstdint>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelkar::modINI {
namespace {

QString Fold(QStringView name) { return name.trimmed().toString().toCaseFolded(); }

// The name of a section header line "[name]", blanks around allowed.
std::optional<QStringView> HeaderName(QStringView line) {
  const QStringView t = line.trimmed();
  if (!t.startsWith(u'[')) return std::nullopt;
  const qsizetype close = t.lastIndexOf(u']');
  if (close < 0) return std::nullopt;
  return t.sliced(1, close - 1).trimmed();
}

// A line break inside a name or value would start a line of its own and could
// forge sections or keys; it is stored as a blank instead.
QString OneLine(QStringView text) {
  QString s = text.toString();
  if (s.contains(u'\n') || s.contains(u'\r')) {
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
  }
  return s;
}

}  // namespace

std::size_t ProfileDocument::NameHash::operator()(const QString& name) const noexcept {
  static const std::uint64_t seed = QRandomGenerator::system()->generate64();
  std::uint64_t h = seed ^ 0xcbf29ce484222325ull;
  for (const QChar c : name) {
    h ^= c.unicode();
    h *= 0x100000001b3ull;
  }
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ull;
  h ^= h >> 32;
  return static_cast<std::size_t>(h);
}

ProfileDocument ProfileDocument::parse(QStringView text, bool bom) {
  ProfileDocument doc;
  doc.bom_ = bom;
  // A line ends in CR LF, LF or a lone CR (as some editors and older systems
  // write). The next CR and LF are each looked up once, not at every line.
  const qsizetype size = text.size();
  const auto following = [&](char16_t c, qsizetype from) {
    const qsizetype at = text.indexOf(QChar(c), from);
    return at < 0 ? size : at;
  };
  qsizetype cr = following(u'\r', 0);
  qsizetype lf = following(u'\n', 0);
  if (cr < size || lf < size)
    doc.eol_ = lf < cr ? LineEnd::Lf : (cr + 1 == lf ? LineEnd::CrLf : LineEnd::Cr);
  qsizetype start = 0;
  while (start < size) {
    if (cr < start) cr = following(u'\r', start);
    if (lf < start) lf = following(u'\n', start);
    const qsizetype end = std::min(cr, lf);
    doc.addLine(text.sliced(start, end - start));
    start = end == cr && cr + 1 == lf ? lf + 1 : end + 1;
  }
  return doc;
}

void ProfileDocument::addLine(QStringView line) {
  if (const auto name = HeaderName(line)) {
    const QString folded = Fold(*name);
    sectionIndex_.try_emplace(folded, qsizetype(sections_.size()));
    sections_.push_back(Section{line.toString(), {}, {}, -1});
    return;
  }
  if (sections_.empty()) {
    preamble_.push_back(line.toString());
    return;
  }
  Section& section = sections_.back();
  const qsizetype index = qsizetype(section.lines.size());
  section.lines.push_back(line.toString());
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) return;
  section.keys.try_emplace(Fold(line.first(eq)), index);
  section.lastKey = index;
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const {
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end()) return std::nullopt;
  const Section& sec = sections_[std::size_t(s->second)];
  const auto k = sec.keys.find(Fold(key));
  if (k == sec.keys.end()) return std::nullopt;
  const QString& line = sec.lines[std::size_t(k->second)];
  return QStringView(line).sliced(line.indexOf(u'=') + 1).trimmed().toString();
}

qint64 ProfileDocument::highestNumberedKey(QStringView section) const {
  const auto s = sectionIndex_.find(Fold(section));
  if (s == sectionIndex_.end()) return 0;
  qint64 highest = 0;
  for (const auto& [name, line] : sections_[std::size_t(s->second)].keys) {
    bool number = false;
    const qint64 n = name.toLongLong(&number);
    if (number && n > highest) highest = n;
  }
  return highest;
}

bool ProfileDocument::setValue(QStringView section, QStringView key, QStringView value) {
  const QString sectionName = OneLine(section.trimmed());
  const QString keyName = OneLine(key.trimmed());
  const QString text = OneLine(value);

  const QString foldedSection = Fold(sectionName);
  const auto [s, added] = sectionIndex_.try_emplace(foldedSection, qsizetype(sections_.size()));
  if (added) sections_.push_back(Section{QLatin1Char('[') + sectionName + QLatin1Char(']'), {}, {}, -1});
  Section& sec = sections_[std::size_t(s->second)];

  const QString foldedKey = Fold(keyName);
  if (const auto k = sec.keys.find(foldedKey); k != sec.keys.end()) {
    QString& line = sec.lines[std::size_t(k->second)];
    const qsizetype eq = line.indexOf(u'=');
    if (QStringView(line).sliced(eq + 1).trimmed() == text) return false;
    // The key keeps its spelling in the file.
    QString replaced = QStringView(line).first(eq).trimmed().toString();
    replaced += u'=';
    replaced += text;
    line = std::move(replaced);
    return true;
  }
  // Lines after the last key (blank lines before the next section) stay after
  // it; key indices never move because only non-key lines follow the insertion.
  const qsizetype at = sec.lastKey + 1;
  sec.lines.insert(sec.lines.begin() + at, keyName + QLatin1Char('=') + text);
  sec.keys.emplace(foldedKey, at);
  sec.lastKey = at;
  return true;
}

QByteArray ProfileDocument::toBytes() const {
  const QLatin1StringView eol = eol_ == LineEnd::CrLf ? QLatin1StringView("\r\n")
                                : eol_ == LineEnd::Lf ? QLatin1StringView("\n")
                                                      : QLatin1StringView("\r");
  qsizetype size = 0;
  for (const QString& line : preamble_) size += line.size() + 2;
  for (const Section& sec : sections_) {
    size += sec.header.size() + 2;
    for (const QString& line : sec.lines) size += line.size() + 2;
  }
  QString text;
  text.reserve(size);
  for (const QString& line : preamble_) text.append(line).append(eol);
  for (const Section& sec : sections_) {
    text.append(sec.header).append(eol);
    for (const QString& line : sec.lines) text.append(line).append(eol);
  }
  QByteArray bytes = bom_ ? QByteArray("\xEF\xBB\xBF") : QByteArray();
  bytes.append(text.toUtf8());
  return bytes;
}

LoadedProfile LoadProfile(const QString& path, qint64 limit) {
  LoadedProfile loaded;
  UserFile file = ReadUserFile(path, limit);
  loaded.exists = file.status != UserFile::Missing;
  if (!loaded.exists) return loaded;
  if (!file.ok()) {
    loaded.readable = false;
    loaded.error = file.problem;
    return loaded;
  }
  const DecodedText decoded = DecodeProfileText(file.bytes);
  file.bytes = QByteArray();
  loaded.doc = ProfileDocument::parse(decoded.text, decoded.bom);
  return loaded;
}

namespace {

// Writes the bytes into a file without a name in the target's folder, which a
// killed process leaves nothing of, then names it beside the target and renames
// it over the target. Nothing when the folder cannot hold such a file; else
// whether it worked, errno telling why not.
std::optional<bool> SaveUnnamed(const QString& path, const QByteArray& bytes) {
  QFileInfo info(path);
  if (info.isSymLink() && info.exists()) info = QFileInfo(info.canonicalFilePath());  // the link stays
  const QByteArray folder = QFile::encodeName(info.absolutePath());
  const QByteArray target = QFile::encodeName(info.absoluteFilePath());
  struct stat old {};
  const bool exists = ::stat(target.constData(), &old) == 0;
  const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return std::nullopt;
    return false;
  }
  bool ok = !exists || ::fchmod(fd, old.st_mode & 07777) == 0;
  for (qsizetype done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (n == 0) errno = ENOSPC;
    if (ok) done += n;
  }
  ok = ok && ::fsync(fd) == 0;
  QByteArray named;
  if (ok) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
      named = folder + "/." + QFile::encodeName(info.fileName()) + '.' +
              QByteArray::number(QRandomGenerator::global()->generate(), 36);
      ok = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, named.constData(), AT_SYMLINK_FOLLOW) == 0;
      if (ok || errno != EEXIST) break;
    }
  }
  const int saved = errno;
  ::close(fd);
  if (ok && ::rename(named.constData(), target.constData()) != 0) {
    const int renameError = errno;
    ::unlink(named.constData());
    errno = renameError;
    return false;
  }
  errno = saved;
  return ok;
}

}  // namespace

bool SaveProfile(const QString& path, const ProfileDocument& doc, QString* error) {
  const QByteArray bytes = doc.toBytes();
  errno = 0;
  if (const std::optional<bool> saved = SaveUnnamed(path, bytes)) {
    if (!*saved && error) *error = qt_error_string(errno);
    return *saved;
  }
  QSaveFile file(path);
  errno = 0;
  // Unbuffered, a write cut short (a full disk) shows in its count; through the
  // buffer the shortfall would go unseen and the cut file replace the old one.
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.commit())
    return true;
  const int osError = errno;
  if (error) {
    // A failed final rename or a short write comes without a description of
    // its own; the system's says why.
    *error = file.errorString();
    const bool vague = file.error() == QFileDevice::NoError || file.error() == QFileDevice::UnspecifiedError ||
                       file.error() == QFileDevice::RenameError;
    if (osError != 0 && vague) *error = qt_error_string(osError);
  }
  return false;
}

}  // namespace zelkar::modINI

// Profile files: any bytes, any section and key names. Reading never fails,
// and a value written is read back as written without disturbing others.
#include "FuzzSupport.h"

#include "backup/core/modINI.h"

using namespace zelkar;

namespace {

// Names and values that the profile layer keeps exactly: one line, no blanks
// around, no brackets or "=", no quotes around, at most 254 characters.
bool Plain(const QString& text, bool name) {
  if (text.isEmpty() || text.size() > 254 || text != text.trimmed()) return false;
  for (const QChar c : text)
    if (c.unicode() < 0x20 || c == u'\x7f' || c.isSpace() != (c == u' ') || c.isSurrogate()) return false;
  if (name && (text.contains(u'[') || text.contains(u']') || text.contains(u'=') || text.startsWith(u';')))
    return false;
  if (!name && text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front())
    return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A section, a key and a value, each ended by a zero byte; the rest is the file.
  QByteArray rest = fuzz::Bytes(data, size);
  QString parts[3];
  for (QString& part : parts) {
    const qsizetype nul = rest.indexOf('\0');
    part = QString::fromUtf8(rest.left(nul < 0 ? rest.size() : nul));
    rest = nul < 0 ? QByteArray() : rest.mid(nul + 1);
  }
  const auto& [section, key, value] = parts;
  const QString file = fuzz::WriteFile(QStringLiteral("profile.ini"), rest);

  const QString before = modINI::ReadINI(section, key, file);
  ZELKAR_FUZZ_CHECK(before.size() <= 2 * 254);
  const QString count = modINI::ReadINI(QStringLiteral("Count"), QStringLiteral("Keywords"), file);
  {
    // The same answers from a batch's parsed copy.
    modINI::Batch batch(file);
    ZELKAR_FUZZ_CHECK(modINI::ReadINI(section, key, file) == before);
  }

  if (!Plain(section, true) || !Plain(key, true) || !Plain(value, false)) {
    // Whatever the names, writing never breaks the file for the next reader.
    modINI::WriteINI(section, key, value, file);
    modINI::ReadINI(section, key, file);
    return 0;
  }
  ZELKAR_FUZZ_CHECK(modINI::WriteINI(section, key, value, file) != 0);
  ZELKAR_FUZZ_CHECK(modINI::ReadINI(section, key, file) == value);
  const bool sameKey = section.compare(QLatin1String("Count"), Qt::CaseInsensitive) == 0 &&
                       key.compare(QLatin1String("Keywords"), Qt::CaseInsensitive) == 0;
  if (!sameKey)
    ZELKAR_FUZZ_CHECK(modINI::ReadINI(QStringLiteral("Count"), QStringLiteral("Keywords"), file) == count);
  return 0;
}

#include "backup/core/ProfileText.h"

#include <QStringDecoder>

namespace zelkar::modINI {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five unassigned
// bytes map to the C1 controls of the same value, as the platform does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString DecodeCp1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
  }
  return text;
}

DecodedText DecodeProfileText(const QByteArray& bytes) {
  DecodedText decoded;
  QByteArrayView body(bytes);
  if (body.startsWith("\xEF\xBB\xBF")) {
    decoded.bom = true;
    body = body.sliced(3);
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  decoded.text = utf8.decode(body);
  if (utf8.hasError()) {
    decoded.text = DecodeCp1252(body);
    decoded.bom = false;
  }
  return decoded;
}

}  // namespace zelkar::modINI

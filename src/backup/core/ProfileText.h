#pragma once

#include <QByteArray>
#include <QString>

namespace zelkar::modINI {

// The text of a profile or old-format backup file.
struct DecodedText {
  QString text;
  bool bom = false;  // the bytes began with a UTF-8 byte order mark
};

// UTF-8 (a leading byte order mark skipped), or Windows-1252 when the bytes are
// not valid UTF-8: the code page files from the original platform were written in.
DecodedText DecodeProfileText(const QByteArray& bytes);
// Windows-1252 text, as files from the original platform are written.
QString DecodeCp1252(QByteArrayView bytes);

}  // namespace zelkar::modINI

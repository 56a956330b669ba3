#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace zelkar::tools {

// Writes the line in UTF-8 whatever the locale, with its newline.
inline void PrintLine(FILE* stream, const QString& line) {
  const QByteArray bytes = line.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fputc('\n', stream);
}

}  // namespace zelkar::tools

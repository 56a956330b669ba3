#include "launch/core/CommandWords.h"

#include <QDir>

namespace zelkar::launch {
namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Characters that need a shell when they stand outside quotes.
bool NeedsShell(QChar c) {
  static const QString kSpecial = QStringLiteral(";&|<>()$`*?[\n\r");
  return kSpecial.contains(c);
}

// Characters a backslash quotes inside double quotes.
bool EscapableInDoubleQuotes(QChar c) {
  static const QString kEscapable = QStringLiteral("$`\"\\\n");
  return kEscapable.contains(c);
}

}  // namespace

std::optional<QStringList> SplitCommand(const QString& command) {
  QStringList words;
  QString word;
  bool inWord = false;  // a word has begun (an empty quoted text is a word too)
  const qsizetype n = command.size();

  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = command[i];
    if (IsBlank(c)) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else if (c == QLatin1Char('\\')) {
      if (i + 1 >= n) return std::nullopt;
      ++i;
      if (command[i] != QLatin1Char('\n')) {  // backslash-newline joins lines
        word += command[i];
        inWord = true;
      }
    } else if (c == QLatin1Char('\'')) {
      const qsizetype close = command.indexOf(QLatin1Char('\''), i + 1);
      if (close < 0) return std::nullopt;
      word += command.mid(i + 1, close - i - 1);
      inWord = true;
      i = close;
    } else if (c == QLatin1Char('"')) {
      qsizetype k = i + 1;
      for (; k < n && command[k] != QLatin1Char('"'); ++k) {
        const QChar d = command[k];
        if (d == QLatin1Char('\\') && k + 1 < n && EscapableInDoubleQuotes(command[k + 1])) {
          ++k;
          if (command[k] != QLatin1Char('\n')) word += command[k];
        } else if (d == QLatin1Char('$') || d == QLatin1Char('`')) {
          return std::nullopt;
        } else {
          word += d;
        }
      }
      if (k >= n) return std::nullopt;
      inWord = true;
      i = k;
    } else if (NeedsShell(c) || (c == QLatin1Char('#') && !inWord)) {
      return std::nullopt;
    } else if (c == QLatin1Char('~') && !inWord) {
      if (i + 1 < n && command[i + 1] != QLatin1Char('/') && !IsBlank(command[i + 1])) return std::nullopt;
      word += QDir::homePath();
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words << word;
  return words;
}

}  // namespace zelkar::launch

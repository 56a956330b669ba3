#include "launch/core/LaunchResolver.h"

#include "launch/core/CommandWords.h"
#include "launch/core/TargetWords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace zelkar::launch {
namespace {

LaunchAction Failure(std::int32_t result) {
  LaunchAction action;
  action.kind = LaunchAction::Fail;
  action.failure = result;
  return action;
}

LaunchAction OpenAction(const QUrl& url) {
  LaunchAction action;
  action.kind = LaunchAction::Open;
  action.failure = code::NoAssociation;
  action.url = url;
  return action;
}

LaunchAction StartAction(const QString& program) {
  LaunchAction action;
  action.kind = LaunchAction::Start;
  action.failure = code::BadFormat;
  action.program = program;
  return action;
}

bool StartsWith(const QString& text, const char* prefix) {
  return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

QString ExpandHome(const QString& path) {
  if (path == QLatin1String("~")) return QDir::homePath();
  if (path.startsWith(QLatin1String("~/"))) return QDir::homePath() + path.mid(1);
  return path;
}

// A file the system can start: a compiled program or a script naming its
// interpreter. Other files with the execute bit (documents on a FAT stick, say)
// are opened like any document. A file that cannot be read is left to exec.
bool IsProgramFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray head = file.read(4);
  return head == QByteArrayLiteral("\x7f" "ELF") || head.startsWith("#!");
}

// Whether a text that did not launch as a whole may be a typed command.
bool MayBeCommand(const QString& text) {
  for (const QChar c : text)
    if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('"') || c == QLatin1Char('\''))
      return true;
  return false;
}

LaunchAction ResolveWhole(const QString& text, const KeywordLookup& lookup) {
  if (text.isEmpty()) return Failure(code::FileNotFound);
  if (IsKeywordName(text) && InternetAddress(text).isEmpty()) {
    const QString target = lookup ? lookup(text) : QString();
    if (!target.isEmpty()) {
      LaunchAction action = ResolveTarget(UsableTarget(target));
      // A keyword whose target is gone is broken, however its folder fares.
      if (action.kind == LaunchAction::Fail && action.failure == code::PathNotFound)
        action.failure = code::FileNotFound;
      return action;
    }
  }
  return ResolveTarget(text);
}

// A typed "keyword words...": the keyword's target and the words after it.
// Words that only a shell could take apart go on as typed, split at blanks.
struct TypedKeyword {
  QString name;
  QString target;
  QStringList words;
};
std::optional<TypedKeyword> KeywordWithWords(const QString& text, const std::optional<QStringList>& words,
                                             const KeywordLookup& lookup) {
  const QStringList parts =
      words ? *words : text.split(QRegularExpression(QStringLiteral("[ \t]+")), Qt::SkipEmptyParts);
  if (parts.size() < 2 || !lookup || !IsKeywordName(parts.front()) || !InternetAddress(parts.front()).isEmpty())
    return std::nullopt;
  const QString target = lookup(parts.front());
  if (target.isEmpty()) return std::nullopt;
  return TypedKeyword{parts.front(), target, parts.mid(1)};
}

}  // namespace

std::optional<QString> RefusedWords(const QString& text, const KeywordLookup& lookup) {
  if (!MayBeCommand(text) || ResolveWhole(text, lookup).kind != LaunchAction::Fail) return std::nullopt;
  const auto keyword = KeywordWithWords(text, SplitCommand(text), lookup);
  if (!keyword || !ResolveWithWords(keyword->target, keyword->words).refused) return std::nullopt;
  return WordsRefusedText(keyword->name, keyword->target);
}

QUrl InternetAddress(const QString& text) {
  QString address;
  if (StartsWith(text, "http://") || StartsWith(text, "https://") || StartsWith(text, "mailto:"))
    address = text;
  else if (StartsWith(text, "www."))
    address = QStringLiteral("http://") + text;
  else
    return QUrl();
  // The text is taken as written; QUrl only encodes what a valid address
  // cannot hold (blanks, for one).
  return QUrl(address, QUrl::TolerantMode);
}

bool IsRelativeTarget(const QString& target) {
  const QString path = ExpandHome(target);
  return path.contains(QLatin1Char('/')) && !path.startsWith(QLatin1Char('/')) && InternetAddress(path).isEmpty();
}

LaunchAction ResolveTarget(const QString& target) {
  if (target.isEmpty()) return Failure(code::FileNotFound);
  if (const QUrl url = InternetAddress(target); !url.isEmpty())
    return url.isValid() ? OpenAction(url) : Failure(code::FileNotFound);

  const QString path = ExpandHome(target);
  // Only PATH is searched for a bare name, and a relative path names nothing:
  // the current folder (a cloned repository, say) never supplies a target.
  if (!path.contains(QLatin1Char('/'))) {
    const QString found = QStandardPaths::findExecutable(path);
    if (!found.isEmpty()) return StartAction(found);
    return Failure(code::FileNotFound);
  }
  if (IsRelativeTarget(path)) return Failure(code::FileNotFound);
  const QFileInfo info(path);
  const QString absolute = QDir::cleanPath(info.absoluteFilePath());
  if (info.isDir()) return OpenAction(QUrl::fromLocalFile(absolute));
  if (info.exists()) {
    if (info.isFile() && info.isExecutable() && IsProgramFile(absolute)) return StartAction(absolute);
    if (!info.isReadable()) return Failure(code::AccessDenied);
    return OpenAction(QUrl::fromLocalFile(absolute));
  }
  if (!QFileInfo(info.absolutePath()).isDir()) return Failure(code::PathNotFound);
  return Failure(code::FileNotFound);
}

LaunchAction ResolveLaunch(const QString& text, const KeywordLookup& lookup) {
  const LaunchAction whole = ResolveWhole(text, lookup);
  const bool notFound = whole.kind == LaunchAction::Fail &&
                        (whole.failure == code::FileNotFound || whole.failure == code::PathNotFound);
  if (!notFound || !MayBeCommand(text)) return whole;

  const std::optional<QStringList> words = SplitCommand(text);
  if (const auto keyword = KeywordWithWords(text, words, lookup)) {
    const WordsLaunch launch = ResolveWithWords(keyword->target, keyword->words);
    if (launch.refused) return whole;
    LaunchAction action = launch.action;
    // A keyword whose target is gone is broken, however its folder fares.
    if (action.kind == LaunchAction::Fail && action.failure == code::PathNotFound) action.failure = code::FileNotFound;
    return action;
  }
  if (!words || words->isEmpty()) return whole;
  LaunchAction first = ResolveWhole(words->front(), lookup);
  if (words->size() == 1) return first.kind == LaunchAction::Fail ? whole : first;
  // Only a program takes arguments; "notes.txt more" is not a command.
  if (first.kind != LaunchAction::Start) return whole;
  first.arguments = words->mid(1);
  return first;
}

}  // namespace zelkar::launch

#include "launch/core/TargetWords.h"

#include "launch/core/CommandWords.h"
#include "launch/core/KeywordResolver.h"

#include <QUrl>

namespace zelkar::launch {
namespace {

QString Substituted(QString text, const QString& words) { return text.replace(kWordsMark, words); }

}  // namespace

WordsLaunch ResolveWithWords(const QString& storedTarget, const QStringList& words) {
  WordsLaunch launch;
  const QString usable = UsableTarget(storedTarget);
  if (words.isEmpty() || !storedTarget.contains(kWordsMark)) {
    launch.action = ResolveTarget(usable);
    if (words.isEmpty()) return launch;
    if (launch.action.kind == LaunchAction::Start)
      launch.action.arguments += words;
    else if (launch.action.kind == LaunchAction::Open)
      launch.refused = true;
    return launch;
  }

  const QString joined = words.join(QLatin1Char(' '));
  if (!InternetAddress(usable).isEmpty()) {
    // Everything but letters, digits and - . _ ~ encoded: a "&", "#" or "%"
    // typed stays part of the words, never a new field or fragment.
    launch.action = ResolveTarget(Substituted(usable, QString::fromLatin1(QUrl::toPercentEncoding(joined))));
    return launch;
  }
  // A program written with its arguments, quoted where its path has blanks.
  const std::optional<QStringList> parts = SplitCommand(storedTarget);
  if (parts && parts->size() > 1 && !parts->front().contains(kWordsMark)) {
    LaunchAction program = ResolveTarget(UsableTarget(parts->front()));
    if (program.kind == LaunchAction::Start) {
      for (const QString& part : parts->mid(1)) program.arguments << Substituted(part, joined);
      launch.action = program;
      return launch;
    }
  }
  launch.action = ResolveTarget(Substituted(usable, joined));
  return launch;
}

QString WordsRefusedText(const QString& keyword, const QString& target) {
  return QStringLiteral("The keyword '%1' opens %2, which takes no words. Put %s in its target where the "
                        "words go.")
      .arg(keyword, target);
}

}  // namespace zelkar::launch

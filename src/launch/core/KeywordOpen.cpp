#include "launch/core/KeywordOpen.h"

#include "launch/core/KeywordResolver.h"
#include "launch/core/LaunchResolver.h"
#include "launch/core/TargetWords.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

namespace zelkar::launch {
namespace {

constexpr QLatin1String kExe(".exe");

KeywordOpening Ended(KeywordOpening::Result result, const QString& target, std::int32_t failure = 0) {
  KeywordOpening opening;
  opening.result = result;
  opening.target = target;
  opening.failure = failure;
  return opening;
}

}  // namespace

bool IsTypedKeywordName(const QString& name) {
  // A tab or line break, like a blank, can never be typed into one word, and
  // in the keyword list it would start a column or a line of its own.
  for (const QChar c : name)
    if (c == u'\t' || c == u'\n' || c == u'\r') return false;
  return IsKeywordName(name) && !name.contains(QLatin1String(".."));
}

KeywordOpening OpenKeyword(const QString& name, const QStringList& arguments, LaunchBackend& backend) {
  if (!IsTypedKeywordName(name)) return Ended(KeywordOpening::NotAKeywordName, QString());

  const QString target = KeywordTarget(name);
  if (target.isEmpty()) {
    const bool entry = modRegEdit::KeyExists(store::Hive::LocalMachine, kAppPathsKey + WithExeSuffix(name));
    return Ended(entry ? KeywordOpening::Broken : KeywordOpening::NoKeyword, target);
  }

  // The window's Run takes a keyword's target through these same rules.
  if (IsRelativeTarget(UsableTarget(target))) return Ended(KeywordOpening::RelativeTarget, target);
  const WordsLaunch launch = ResolveWithWords(target, arguments);
  const LaunchAction& action = launch.action;
  switch (action.kind) {
    case LaunchAction::Fail:
      if (action.failure == code::FileNotFound || action.failure == code::PathNotFound)
        return Ended(KeywordOpening::Broken, target);
      return Ended(KeywordOpening::Failed, target, action.failure);
    case LaunchAction::Open: {
      // A document, folder or address without "%s" has no place for words;
      // dropping them silently would do something other than what was asked.
      KeywordOpening opening;
      if (launch.refused)
        opening = Ended(KeywordOpening::TakesNoArguments, target);
      else if (backend.openUrl(action.url))
        opening = Ended(KeywordOpening::Started, target);
      else
        opening = Ended(KeywordOpening::Failed, target, action.failure);
      opening.document = true;
      return opening;
    }
    case LaunchAction::Start:
      if (!backend.startDetached(action.program, action.arguments, QString()))
        return Ended(KeywordOpening::Failed, target, action.failure);
      return Ended(KeywordOpening::Started, target);
  }
  return Ended(KeywordOpening::Failed, target, code::Unknown);
}

QList<KeywordEntry> ListKeywords() {
  QList<KeywordEntry> entries;
  // One read for the whole list, so that it is of one moment.
  for (const store::SubkeyDefault& row : modRegEdit::EnumKeyDefaults(store::Hive::LocalMachine, kAppPathsKey)) {
    // An entry without ".exe" is never found by its name.
    if (!row.name.endsWith(kExe, Qt::CaseInsensitive)) continue;
    const QString name = row.name.chopped(kExe.size());
    if (!IsTypedKeywordName(name)) continue;
    entries.append({name, row.value ? modRegEdit::ValueText(*row.value) : QString()});
  }
  return entries;
}

}  // namespace zelkar::launch

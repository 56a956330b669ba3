#include "launch/core/KeywordResolver.h"

#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/modRegEdit.h"

#include <exception>

namespace zelkar::launch {

bool IsKeywordName(const QString& text) { return !text.isEmpty() && !HasForbiddenKeywordChars(text); }

QString KeywordTarget(const QString& name) {
  if (!IsKeywordName(name)) return QString();
  try {
    return modRegEdit::RegReadValue(kAppPathsFull + WithExeSuffix(name) + QLatin1Char('\\'));
  } catch (const std::exception&) {
    // An unreadable store knows no keyword.
    return QString();
  }
}

QString UsableTarget(const QString& target) {
  QString t = target;
  if (t.startsWith(QLatin1Char('"'))) t.remove(0, 1);
  if (t.endsWith(QLatin1Char('"'))) t.chop(1);
  if (t.startsWith(QLatin1Char('%'))) {
    const qsizetype second = t.indexOf(QLatin1Char('%'), 1);
    if (second > 0) {
      const QString variable = t.mid(1, second - 1);
      const int folder = variable == QLatin1String("programfiles") ? 38
                         : variable == QLatin1String("systemroot") ? 36
                                                                   : 0;
      if (folder != 0) t = modMain::GetSpecialFolder(folder) + t.mid(second + 1);
    }
  }
  return t;
}

}  // namespace zelkar::launch

#pragma once

#include <QString>
#include <QStringList>

namespace zelkar::launch {

// The names (without ".exe", letter case as stored) of the keywords that begin
// with `prefix` in any letter case, in the store's order: what a shell offers
// after "zelkar-open ". Reads the names only, never a target, so completing
// stays quick however many keywords there are. The process store must be open.
QStringList KeywordNames(const QString& prefix);

}  // namespace zelkar::launch

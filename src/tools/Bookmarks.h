#pragma once

#include "launch/core/KeywordOpen.h"

#include <QByteArray>
#include <QList>

namespace zelkar::tools {

// The keywords whose targets are internet addresses as a bookmark file in the
// Netscape format that browsers import: each bookmark's keyword (SHORTCUTURL)
// is the keyword, and "%s" stays in its address for the words typed after it.
QByteArray BookmarkFile(const QList<launch::KeywordEntry>& keywords);

}  // namespace zelkar::tools

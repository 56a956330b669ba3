#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zelkar::search {

// A keyword a query lists.
struct Hit {
  QString name;    // without ".exe", in lower case
  QString target;  // as stored
  bool exact = false;
};

// What the desktop's search box holds: a keyword, or its beginning, and the
// words typed after it.
struct Query {
  QString keyword;
  QStringList words;
  static Query fromText(const QString& text);                // split at blanks
  static Query fromTerms(const QStringList& terms);          // already split
};

// The keywords the query lists, read from the store afresh: with words only
// the keyword named exactly, else every keyword beginning with it (any letter
// case), the exact one first, then the shorter names. At most `limit`.
QList<Hit> FindKeywords(const Query& query, int limit = 20);

// The icon-theme name for a target's kind: a program, a document's type, a
// folder, an internet address, or a missing target.
QString IconName(const QString& target);

}  // namespace zelkar::search

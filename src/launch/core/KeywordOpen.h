#pragma once

#include "launch/core/LaunchBackend.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace zelkar::launch {

// True when a name typed on a command line may be looked up as a keyword: a
// keyword name (no blank and none of \ / : * ? " < > |) that holds no ".."
// and no tab or line break.
bool IsTypedKeywordName(const QString& name);

// How opening a keyword from the command line ended.
struct KeywordOpening {
  enum Result {
    Started,           // the target was started or handed to the desktop
    NotAKeywordName,   // the name fails IsTypedKeywordName; nothing was looked up
    NoKeyword,         // no entry under App Paths
    Broken,            // the entry's target is empty or gone
    RelativeTarget,    // the target is a relative path, which names nothing
    TakesNoArguments,  // words given for a document, folder or address without %s
    Failed,            // the target exists but could not be started or opened
  } result = NoKeyword;
  QString target;            // as stored in the entry
  std::int32_t failure = 0;  // Failed: the launcher's code (launch::code)
  bool document = false;     // a document, folder or address, not a program
};

// Opens the keyword `name` (with or without ".exe", any letter case) the way
// the window's Run does: the entry's target is launched by the same rules,
// with `arguments` as the words after the keyword (ResolveWithWords), never
// through a shell; a document, folder or address with the desktop's
// application. The
// process store must already be open (a store that cannot be read is the
// caller's to report).
KeywordOpening OpenKeyword(const QString& name, const QStringList& arguments, LaunchBackend& backend);

struct KeywordEntry {
  QString name;    // without ".exe", letter case as stored
  QString target;  // as stored
};

// Every keyword that OpenKeyword can open, in the order the store lists them.
QList<KeywordEntry> ListKeywords();

}  // namespace zelkar::launch

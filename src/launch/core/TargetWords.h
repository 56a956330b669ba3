#pragma once

#include "launch/core/LaunchResolver.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelkar::launch {

// Where the words typed after a keyword go in its target.
inline constexpr QLatin1StringView kWordsMark("%s");

// How a keyword's target is launched with the words typed after it.
struct WordsLaunch {
  LaunchAction action;
  // Words given to a document, folder or address whose target has no place for them.
  bool refused = false;
};

// The one rule for words after a keyword, whoever typed them (zelkar-open, the
// keyword folder, the desktop's search, the window's Run Text):
//  - no words: the target is launched as it is;
//  - a target holding "%s": the words joined by a blank replace it, percent-
//    encoded in an internet address, otherwise as one argument: in a target
//    written as a program and its arguments ("/usr/bin/dict %s") the program
//    gets them within its argument, in any other target within its one path;
//  - a program without "%s" gets the words as its arguments, each as given;
//  - a document, folder or address without "%s" refuses them.
// Nothing goes through a shell. `storedTarget` is the entry's value as stored.
WordsLaunch ResolveWithWords(const QString& storedTarget, const QStringList& words);

// The sentence for a keyword whose target refuses words.
QString WordsRefusedText(const QString& keyword, const QString& target);

}  // namespace zelkar::launch

#pragma once

#include <QString>

namespace zelkar::launch {

// True when the text can name a keyword: not empty and free of the characters
// a keyword may not contain (blank, "\", "/", ":", ...).
bool IsKeywordName(const QString& text);

// The target registered for a keyword name, looked up in the keyword entries
// under App Paths (the name with ".exe" appended unless it ends so, any letter
// case). Empty when there is no such entry or its target is empty.
QString KeywordTarget(const QString& name);

// A stored target as a launch takes it: one enclosing pair of double quotes
// dropped and a leading "%programfiles%" or "%systemroot%" replaced by its
// folder, as the tree load rewrites entries (entries written by other programs
// may not have been through a load yet).
QString UsableTarget(const QString& target);

}  // namespace zelkar::launch

#pragma once

#include "launch/core/KeywordResolver.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <optional>

namespace zelkar::launch {

// The launcher's result codes: those of the original shell. 32 or less fails.
namespace code {
constexpr std::int32_t OutOfMemory = 0;
constexpr std::int32_t Unknown = 1;
constexpr std::int32_t FileNotFound = 2;
constexpr std::int32_t PathNotFound = 3;
constexpr std::int32_t AccessDenied = 5;
constexpr std::int32_t BadFormat = 11;
constexpr std::int32_t NoAssociation = 31;
constexpr std::int32_t Launched = 42;  // any value above 32 means success
}  // namespace code

// What launching a text comes to.
struct LaunchAction {
  enum Kind { Fail, Start, Open } kind = Fail;
  // Fail: the result code. Start and Open: the code when the backend fails.
  std::int32_t failure = code::FileNotFound;
  QString program;  // Start: absolute path
  QStringList arguments;
  QUrl url;  // Open: an address, or the file:// URL of a file or folder
};

// Finds the target registered for a keyword name; empty when there is none.
using KeywordLookup = std::function<QString(const QString& name)>;

// Decides how a text is launched, in this order:
//  1. an internet address ("http://", "https://", "mailto:", or "www." which
//     gets "http://" in front) is opened by the desktop;
//  2. a keyword name with an entry is replaced by its target, which is then
//     launched by the steps below; FileNotFound when the target is missing;
//  3. a name without "/" is looked up on PATH only and started when found;
//     a relative path ("sub/tool", "./x") names nothing: FileNotFound;
//  4. an existing folder (absolute path, or "~/...") opens in the file
//     manager; an executable program file is started with no arguments; any
//     other existing file opens with its application (AccessDenied when it
//     cannot be read);
//  5. otherwise FileNotFound, or PathNotFound when the folder part is missing.
// The current folder is never searched.
// When all of that fails for a text holding blanks or quotes, the text is taken
// as a command (SplitCommand): a first word that is a keyword takes the other
// words by ResolveWithWords; a first word that starts a program is started
// with the other words as its arguments. A text never reaches a command
// interpreter, and files and folders are handed on by absolute path.
LaunchAction ResolveLaunch(const QString& text, const KeywordLookup& lookup = KeywordTarget);

// The sentence for a typed "keyword words..." whose keyword refuses words (a
// document, folder or address whose target holds no "%s"); nothing otherwise.
std::optional<QString> RefusedWords(const QString& text, const KeywordLookup& lookup = KeywordTarget);

// Steps 1, 3, 4 and 5 alone: how one path, program name or address is opened
// (a keyword's target is launched this way).
LaunchAction ResolveTarget(const QString& target);

// True for a path with "/" that is neither absolute nor under "~/": no target
// at all, since a target must be an absolute path, a name on PATH or an address.
bool IsRelativeTarget(const QString& target);

// The address a text stands for, or an empty URL when it is none.
QUrl InternetAddress(const QString& text);

}  // namespace zelkar::launch

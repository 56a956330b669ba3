// zelkar-open: opens a keyword from the command line, as the window's Run does.
#include "launch/core/DetachedLaunchBackend.h"
#include "launch/core/KeywordFolder.h"
#include "launch/core/KeywordNames.h"
#include "launch/core/KeywordOpen.h"
#include "launch/core/LaunchResolver.h"
#include "launch/core/ShellInit.h"
#include "launch/core/TargetWords.h"
#include "store/RegistryStore.h"
#include "tools/DesktopCommands.h"
#include "tools/ExitCodes.h"
#include "tools/KeywordVerbs.h"
#include "tools/PrintLine.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

using zelkar::launch::KeywordOpening;
using zelkar::store::RegistryStore;

// Exit statuses, shared with zelkar-reg.
namespace exitcode = zelkar::tools::exitcode;
enum Exit {
  Success = exitcode::Success,
  NotStarted = exitcode::Failed,     // the target exists but could not be started
  NoKeyword = exitcode::NotFound,    // no such keyword, or its target is broken
  BadUsage = exitcode::BadUsage,
  NotFoundHook = exitcode::NotFoundHook,  // --command-not-found: not a keyword, let the shell say so
};

constexpr const char* kUsageLine =
    "Usage: zelkar-open NAME [WORD ...] | --list | --shell-init bash|zsh|fish\n"
    "       zelkar-open --add NAME TARGET [--force] | --rename OLD NEW [--force] | --remove NAME\n"
    "       zelkar-open --sync | --desktop on|off|status | --bookmarks [FILE] | --help | --version\n";

constexpr const char* kHelp =
    "Opens a Zelkar keyword: starts its program with the arguments given (each one\n"
    "argument, never through a shell), or opens its document, folder or internet\n"
    "address with the desktop's application. The program is started on its own;\n"
    "zelkar-open does not wait for it.\n"
    "\n"
    "  zelkar-open NAME [ARGUMENT ...]   NAME with or without \".exe\", any letter case\n"
    "  zelkar-open -- NAME [ARGUMENT ...]  for a NAME that begins with \"-\"\n"
    "  zelkar-open --list                one keyword and its target per line, tab-separated\n"
    "  zelkar-open --shell-init SHELL    lines for bash, zsh or fish that run keywords\n"
    "                                    typed as commands and complete keyword names:\n"
    "                                    eval \"$(zelkar-open --shell-init bash)\" in ~/.bashrc\n"
    "  zelkar-open --completion SHELL    the completion lines alone (installed for each shell)\n"
    "  zelkar-open --complete PREFIX     the keyword names that begin with PREFIX\n"
    "  zelkar-open --desktop on|off|status  makes every keyword a command for the\n"
    "                                    desktop's run dialogs (a folder of links at the\n"
    "                                    end of PATH), KRunner and GNOME's search\n"
    "  zelkar-open --sync                rebuilds that folder; says which keywords it leaves out\n"
    "  zelkar-open --bookmarks [FILE]    the keywords for internet addresses as a bookmark file\n"
    "                                    for a browser's address bar\n"
    "Words after a keyword replace %s in its target (percent-encoded in an address);\n"
    "a program without %s gets them as its arguments. Called by another name (a link\n"
    "in the keyword folder), zelkar-open opens the keyword of that name.\n"
    "  zelkar-open --command-not-found NAME [ARGUMENT ...]\n"
    "                                    as NAME, but silent with status 127 when NAME is\n"
    "                                    no keyword (the shells' not-found hooks use it)\n";

constexpr const char* kHelpEnd =
    "\n"
    "The store is $ZELKAR_REGISTRY, else $XDG_DATA_HOME/zelkar/registry;\n"
    "$ZELKAR_MACHINE_HIVE names another machine hive file. Only the keyword verbs\n"
    "write it.\n"
    "Exit status: 0 started, 1 the target could not be started, 2 no such keyword\n"
    "or a broken target, 3 the store cannot be read (no rights, damaged), 4 the store\n"
    "is busy (locked by another program for more than five seconds), 5 the store may\n"
    "not be written, 6 the disk is full, 64 bad usage (also for a name with a blank,\n"
    "one of \\ / : * ? \" < > |, or \"..\"). The keyword verbs: 0 done, 1 the name is\n"
    "taken (see --force), 2 no such keyword, 3 to 6 as above.\n";

// The keyword verbs' outcome as this tool's exit status.
int verbExit(zelkar::tools::VerbOutcome outcome) {
  using zelkar::tools::VerbOutcome;
  switch (outcome) {
    case VerbOutcome::Done:
      return Success;
    case VerbOutcome::BadUsage:
      std::fputs(kUsageLine, stderr);
      return BadUsage;
    case VerbOutcome::NoKeyword:
      return NoKeyword;
    case VerbOutcome::Exists:
    case VerbOutcome::Failed:
      return exitcode::Failed;
    case VerbOutcome::Unreadable:
      return exitcode::Unreadable;
    case VerbOutcome::Busy:
      return exitcode::Busy;
    case VerbOutcome::ReadOnly:
      return exitcode::ReadOnly;
    case VerbOutcome::DiskFull:
      return exitcode::DiskFull;
  }
  return exitcode::Failed;
}

int failWith(int code, const QString& message) {
  zelkar::tools::PrintLine(stderr, QStringLiteral("zelkar-open: ") + message);
  return code;
}

int usageError(const QString& message) {
  failWith(BadUsage, message);
  std::fputs(kUsageLine, stderr);
  return BadUsage;
}

// Why the store cannot be used, and the status that says so.
struct StoreProblem {
  int code;
  QString text;
};

// The process's store, opened for reading only: a missing store is an empty
// one and is not created; a damaged one is named and left as it is.
std::optional<StoreProblem> openStore() {
  zelkar::store::StoreLocation location = zelkar::store::StoreLocation::fromEnvironment();
  location.readOnly = true;
  RegistryStore::useLocation(location);
  try {
    RegistryStore::current();
    return std::nullopt;
  } catch (const zelkar::store::StoreError& error) {
    return StoreProblem{exitcode::ForStoreError(error),
                        QStringLiteral("the keyword store ") + error.file() + QLatin1Char(' ') + error.reason()};
  }
}

QString failureReason(std::int32_t failure, bool document) {
  namespace code = zelkar::launch::code;
  switch (failure) {
    case code::AccessDenied:
      return QStringLiteral("it may not be read");
    case code::NoAssociation:
      return QStringLiteral("no application took it (is xdg-open installed?)");
    default:
      return document ? QStringLiteral("it could not be opened") : QStringLiteral("it could not be started");
  }
}

int openKeyword(const QString& name, const QStringList& arguments, bool notFoundHook) {
  if (!zelkar::launch::IsTypedKeywordName(name)) {
    if (notFoundHook) return NotFoundHook;
    return usageError(QStringLiteral("'%1' cannot be a keyword name (a keyword holds no blank, none of "
                                     "\\ / : * ? \" < > | and no \"..\")")
                          .arg(name));
  }
  if (const std::optional<StoreProblem> problem = openStore()) {
    failWith(problem->code, problem->text);
    return notFoundHook ? NotFoundHook : problem->code;
  }

  zelkar::launch::DetachedLaunchBackend backend;
  const KeywordOpening opening = zelkar::launch::OpenKeyword(name, arguments, backend);
  switch (opening.result) {
    case KeywordOpening::Started:
      return Success;
    case KeywordOpening::NotAKeywordName:
    case KeywordOpening::NoKeyword:
      if (notFoundHook) return NotFoundHook;
      return failWith(NoKeyword, QStringLiteral("no keyword '%1'").arg(name));
    case KeywordOpening::Broken:
      return failWith(NoKeyword, QStringLiteral("the keyword '%1' has a broken target: %2").arg(name, opening.target));
    case KeywordOpening::RelativeTarget:
      return failWith(NoKeyword, QStringLiteral("the keyword '%1' has a relative target, which names nothing: %2 "
                                                "(a target is an absolute path, a program name on PATH or an "
                                                "internet address)")
                                     .arg(name, opening.target));
    case KeywordOpening::TakesNoArguments: {
      const QString problem = zelkar::launch::WordsRefusedText(name, opening.target);
      return notFoundHook ? failWith(BadUsage, problem) : usageError(problem);
    }
    case KeywordOpening::Failed:
      return failWith(NotStarted, QStringLiteral("the keyword '%1' could not open %2: %3")
                                      .arg(name, opening.target, failureReason(opening.failure, opening.document)));
  }
  return NotStarted;
}

int listKeywords() {
  if (const std::optional<StoreProblem> problem = openStore()) return failWith(problem->code, problem->text);
  for (const zelkar::launch::KeywordEntry& entry : zelkar::launch::ListKeywords()) {
    // One entry per line, whatever its target holds.
    QString target = entry.target;
    target.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    zelkar::tools::PrintLine(stdout, entry.name + QLatin1Char('\t') + target);
  }
  return Success;
}

// This program's own path, for the shell snippets.
QString ownPath(const char* argv0) {
  const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  if (!exe.isEmpty()) return exe;
  return QFileInfo(QFile::decodeName(argv0)).absoluteFilePath();
}

// The names after "zelkar-open " that begin with the prefix; a shell that
// completes wants no message.
int completeNames(const QString& prefix) {
  if (const std::optional<StoreProblem> problem = openStore()) return problem->code;
  for (const QString& name : zelkar::launch::KeywordNames(prefix)) zelkar::tools::PrintLine(stdout, name);
  return Success;
}

int shellInit(const QString& shell, const char* argv0, bool completionOnly = false) {
  const QString folder = zelkar::launch::KeywordFolderPath();
  const std::optional<QString> snippet =
      completionOnly ? zelkar::launch::ShellCompletion(shell, ownPath(argv0))
                     : zelkar::launch::ShellInitSnippet(shell, ownPath(argv0),
                                                        zelkar::launch::ReadFolderMark(folder) ? folder : QString());
  if (!snippet)
    return usageError(QStringLiteral("no start-up lines for the shell '%1' (bash, zsh or fish)").arg(shell));
  const QByteArray bytes = snippet->toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
  return Success;
}

int run(const QStringList& args, const char* argv0) {
  if (args.isEmpty()) return usageError(QStringLiteral("no keyword given"));
  const QString& first = args.first();
  if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
    if (args.size() != 1) return usageError(QStringLiteral("%1 takes no arguments").arg(first));
    std::fputs(kUsageLine, stdout);
    std::fputs(kHelp, stdout);
    std::fputs(zelkar::tools::kKeywordVerbsHelp, stdout);
    std::fputs(kHelpEnd, stdout);
    return Success;
  }
  if (first == QLatin1String("--version")) {
    std::printf("zelkar-open %d.%d\n", ZELKAR_VERSION_MAJOR, ZELKAR_VERSION_MINOR);
    return Success;
  }
  if (const std::optional<zelkar::tools::VerbOutcome> verb = zelkar::tools::RunKeywordVerb(args, stdout, stderr))
    return verbExit(*verb);
  if (first == QLatin1String("--list")) {
    if (args.size() != 1) return usageError(QStringLiteral("--list takes no arguments"));
    return listKeywords();
  }
  if (first == QLatin1String("--shell-init")) {
    if (args.size() != 2) return usageError(QStringLiteral("--shell-init needs one shell: bash, zsh or fish"));
    return shellInit(args[1], argv0);
  }
  if (first == QLatin1String("--completion")) {
    if (args.size() != 2) return usageError(QStringLiteral("--completion needs one shell: bash, zsh or fish"));
    return shellInit(args[1], argv0, true);
  }
  if (first == QLatin1String("--complete")) {
    if (args.size() > 2) return usageError(QStringLiteral("--complete takes one prefix"));
    return completeNames(args.value(1));
  }
  if (first == QLatin1String("--sync") || first == QLatin1String("--desktop") || first == QLatin1String("--bookmarks")) {
    const bool desktop = first == QLatin1String("--desktop");
    if (desktop ? args.size() != 2 : args.size() > (first == QLatin1String("--sync") ? 1 : 2))
      return usageError(desktop ? QStringLiteral("--desktop needs on, off or status")
                                : QStringLiteral("%1 takes no such arguments").arg(first));
    if (const std::optional<StoreProblem> problem = openStore()) return failWith(problem->code, problem->text);
    if (desktop) return zelkar::tools::DesktopCommand(args[1], ownPath(argv0));
    if (first == QLatin1String("--sync")) return zelkar::tools::SyncCommand(ownPath(argv0));
    return zelkar::tools::BookmarksCommand(args.mid(1));
  }
  if (first == QLatin1String("--command-not-found") || first == QLatin1String("--")) {
    if (args.size() < 2) return usageError(QStringLiteral("no keyword given after %1").arg(first));
    return openKeyword(args[1], args.mid(2), first != QLatin1String("--"));
  }
  if (first.startsWith(QLatin1Char('-')))
    return usageError(QStringLiteral("unknown option %1 (a keyword that begins with \"-\" follows \"--\")").arg(first));
  return openKeyword(first, args.mid(1), false);
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
  // Called through a link in the keyword folder: the link's name is the keyword.
  const QString called = argc > 0 ? QFileInfo(QFile::decodeName(argv[0])).fileName() : QString();
  if (!called.isEmpty() && called != QLatin1String("zelkar-open")) return openKeyword(called, args, false);
  return run(args, argc > 0 ? argv[0] : "zelkar-open");
}

#include "launch/core/ShellInit.h"

namespace zelkar::launch {
namespace {

// Each snippet names zelkar-open by the absolute path set in its first line:
// the not-found hook calling a missing "zelkar-open" would run into itself.
// A snippet evaluated twice never takes its own hook for an earlier one.

struct Snippet {
  const char* program;     // sets __zelkar_open_program
  const char* hook;        // the not-found hook
  const char* completion;  // keyword names after "zelkar-open "
};

constexpr const char* kBashHook = R"sh(# Zelkar: a command that is not found is tried as a keyword; zelkar-open
# completes keyword names.
__zelkar_open_program=@PROGRAM@
if declare -F command_not_found_handle >/dev/null; then
  __zelkar_open_handler=$(declare -f command_not_found_handle)
  case $__zelkar_open_handler in
    *__zelkar_open_program*) ;;
    *) eval "__zelkar_open_previous_handler${__zelkar_open_handler#command_not_found_handle}" ;;
  esac
  unset __zelkar_open_handler
fi
command_not_found_handle() {
  if [ -x "$__zelkar_open_program" ]; then
    "$__zelkar_open_program" --command-not-found "$@"
    local status=$?
    [ "$status" -ne 127 ] && return "$status"
  fi
  if declare -F __zelkar_open_previous_handler >/dev/null; then
    __zelkar_open_previous_handler "$@"
    return
  fi
  printf 'bash: %s: command not found\n' "$1" >&2
  return 127
}
)sh";

constexpr const char* kBashCompletion = R"sh(__zelkar_open_complete() {
  COMPREPLY=()
  [ "$COMP_CWORD" -eq 1 ] || return 0
  # The program picks the names, in any letter case; a name holds no blank.
  local -a names
  mapfile -t names < <("$__zelkar_open_program" --complete "${COMP_WORDS[1]}" 2>/dev/null)
  (( ${#names[@]} )) || return 0
  local IFS=$'\n'
  COMPREPLY=($(printf '%q\n' "${names[@]}"))
}
complete -o default -F __zelkar_open_complete zelkar-open
)sh";

constexpr const char* kZshHook = R"sh(# Zelkar: a command that is not found is tried as a keyword; zelkar-open
# completes keyword names (evaluate this after compinit).
typeset -g __zelkar_open_program=@PROGRAM@
if (( ${+functions[command_not_found_handler]} )) &&
    [[ ${functions[command_not_found_handler]} != *__zelkar_open_program* ]]; then
  functions[__zelkar_open_previous_handler]=${functions[command_not_found_handler]}
fi
command_not_found_handler() {
  if [[ -x $__zelkar_open_program ]]; then
    "$__zelkar_open_program" --command-not-found "$@"
    local ret=$?
    (( ret != 127 )) && return $ret
  fi
  if (( ${+functions[__zelkar_open_previous_handler]} )); then
    __zelkar_open_previous_handler "$@"
    return
  fi
  print -ru2 -- "zsh: command not found: $1"
  return 127
}
)sh";

constexpr const char* kZshCompletion = R"sh(__zelkar_open_names() {
  reply=(${(f)"$("$__zelkar_open_program" --complete "${PREFIX-}" 2>/dev/null)"})
}
_zelkar_open() {
  if (( CURRENT == 2 )); then
    local -a reply
    __zelkar_open_names
    compadd -M 'm:{a-zA-Z}={A-Za-z}' -a reply
  else
    _files
  fi
}
if (( ${+functions[compdef]} )); then
  compdef _zelkar_open zelkar-open
else
  compctl -K __zelkar_open_names -x 'p[2,-1]' -f -- zelkar-open
fi
)sh";

constexpr const char* kFishHook = R"sh(# Zelkar: a command that is not found is tried as a keyword; zelkar-open
# completes keyword names.
set -g __zelkar_open_program @PROGRAM@
if functions -q fish_command_not_found
    and not functions fish_command_not_found | string match -q -- '*__zelkar_open_program*'
    functions -e __zelkar_open_previous_handler
    functions -c fish_command_not_found __zelkar_open_previous_handler
end
function fish_command_not_found
    if test -x "$__zelkar_open_program"
        "$__zelkar_open_program" --command-not-found $argv
        set -l ret $status
        test $ret -ne 127; and return $ret
    end
    if functions -q __zelkar_open_previous_handler
        __zelkar_open_previous_handler $argv
        return
    end
    printf 'fish: Unknown command: %s\n' $argv[1] >&2
    return 127
end
)sh";

constexpr const char* kFishCompletion =
    R"sh(complete -c zelkar-open -n 'test (count (commandline -opc)) -eq 1' -f -a '("$__zelkar_open_program" --complete (commandline -ct) 2>/dev/null)'
)sh";

constexpr Snippet kBash = {"__zelkar_open_program=@PROGRAM@\n", kBashHook, kBashCompletion};
constexpr Snippet kZsh = {"typeset -g __zelkar_open_program=@PROGRAM@\n", kZshHook, kZshCompletion};
constexpr Snippet kFish = {"set -g __zelkar_open_program @PROGRAM@\n", kFishHook, kFishCompletion};

// A word in single quotes for bash and zsh: a quote inside ends the quoting,
// is escaped, and quoting starts again.
QString PosixQuoted(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// fish's single quotes know two escapes: \' and \\.
QString FishQuoted(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
  quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

QStringList ShellInitShells() { return {QStringLiteral("bash"), QStringLiteral("zsh"), QStringLiteral("fish")}; }

namespace {

// The shell's lines, `first` (its hook, or the line naming the program alone)
// followed by its completion, with the program's path quoted for the shell.
std::optional<QString> Filled(const QString& shell, const QString& program, const char* Snippet::*first) {
  const Snippet* snippet = nullptr;
  QString quoted;
  if (shell == QLatin1String("bash") || shell == QLatin1String("zsh")) {
    snippet = shell == QLatin1String("bash") ? &kBash : &kZsh;
    quoted = PosixQuoted(program);
  } else if (shell == QLatin1String("fish")) {
    snippet = &kFish;
    quoted = FishQuoted(program);
  } else {
    return std::nullopt;
  }
  QString text = QString::fromUtf8(snippet->*first) + QString::fromUtf8(snippet->completion);
  return text.replace(QLatin1String("@PROGRAM@"), quoted);
}

}  // namespace

std::optional<QString> ShellInitSnippet(const QString& shell, const QString& program, const QString& keywordFolder) {
  std::optional<QString> lines = Filled(shell, program, &Snippet::hook);
  if (!lines || keywordFolder.isEmpty()) return lines;
  // Keywords as commands after every real command.
  if (shell == QLatin1String("fish")) {
    const QString folder = FishQuoted(keywordFolder);
    return *lines + QStringLiteral("contains -- %1 $PATH; or set -gx PATH $PATH %1\n").arg(folder);
  }
  const QString folder = PosixQuoted(keywordFolder);
  return *lines + QStringLiteral("case \":$PATH:\" in *:%1:*) ;; *) export PATH=\"$PATH\":%1 ;; esac\n").arg(folder);
}

std::optional<QString> ShellCompletion(const QString& shell, const QString& program) {
  return Filled(shell, program, &Snippet::program);
}

}  // namespace zelkar::launch

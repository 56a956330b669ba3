#!/bin/sh
# Start to the first idle window with N keywords (default 10000): the program,
# a trivial Qt window, and a trivial window filled by the floor of a tree load;
# and the whole run of "zelkar-open --list" over the same keywords beside that of
# "zelkar-open --help" (the same process start, no store). Each is
# started RUNS times (default 7), in turn; the medians are printed in ms.
# Usage: bench/start_time.sh [BUILD_DIR] [N] [RUNS]
set -eu
build=${1:-build}
count=${2:-10000}
runs=${3:-7}
probe="$build/bench/zelkar_start_probe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_RUNTIME_DIR="$work/run" ZELKAR_REGISTRY="$work/store/registry" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$probe" make "$count" "$work/store"
one() {
  if [ "$1" = list ] || [ "$1" = help ]; then
    t0=$(date +%s%N)
    "$build/src/zelkar-open" "--$1" >/dev/null
    echo $((($(date +%s%N) - t0) / 1000))
  else
    ZELKAR_PROBE_T0=$(date +%s%N) "$probe" "$1" 2>/dev/null
  fi
}
one zelkar >/dev/null  # the first start sets up the desktop's file type
for mode in zelkar trivial floor list help; do : >"$work/$mode"; done
i=0
while [ "$i" -lt "$runs" ]; do
  for mode in zelkar trivial floor list help; do one "$mode" >>"$work/$mode"; done
  i=$((i + 1))
done
for mode in zelkar trivial floor list help; do
  printf '%s %s\n' "$mode" "$(sort -n "$work/$mode" | awk '{ a[NR] = $1 } END { printf "%.1f", a[int((NR + 1) / 2)] / 1000 }')"
done

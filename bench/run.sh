#!/usr/bin/env bash
# Benchmarks on a generated tree (default 100,000 files in 5,000 folders, 5,000 of them junk).
#   bench/run.sh [walk|junk|all] [--files N] [--seed S] [--reps R]
# Prints, besides notes, one line per measure: BENCH <name> <median seconds> <ratio to bare>
#   walk: bare, scanner13, permask13, find13        junk: bare, junkscan
# Runs in the private Wine prefix of the build folder (KESTRUNE_BUILD_DIR, default build/).
set -eu
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KESTRUNE_BUILD_DIR:-$top/build}"

inner() {
  set -eu
  . "$top/tests/wine-env.sh" "$KES_BENCH_BUILD"
  "$top/tests/wine-session.sh" start "$KESTRUNE_BUILD_DIR" >/dev/null
  # The tree as drive T: (the junk scan walks drive roots), for this run only: the tests share
  # the prefix, and a first showing of the junk cleaner checks every fixed drive.
  ln -sfn "$KES_BENCH_TREE" "$WINEPREFIX/dosdevices/t:"
  trap 'rm -f "$WINEPREFIX/dosdevices/t:"; "$top/tests/wine-session.sh" stop "$KESTRUNE_BUILD_DIR"' EXIT
  exe="$KESTRUNE_BUILD_DIR/bench/kes_bench.exe"
  winroot="Z:$(echo "$KES_BENCH_TREE" | tr / '\\')"
  if [ "$KES_BENCH_MODE" = walk ] || [ "$KES_BENCH_MODE" = all ]; then
    out="$(wine "$exe" walk "$winroot" --reps "$KES_BENCH_REPS" </dev/null 2>/dev/null | tr -d '\r')"
    echo "$out"
    bare="$(echo "$out" | awk '$1=="BENCH" && $2=="bare" {print $3}')"
    times=()
    for _ in $(seq "$KES_BENCH_REPS"); do
      s=$(date +%s.%N)
      n=$(find "$KES_BENCH_TREE" -type f \( -iname '*.~*' -o -iname '~*.*' -o -iname '*.??~' -o -iname '*.---' \
          -o -iname '*.tmp' -o -iname '*._mp' -o -iname '*.old' -o -iname '*.bak' -o -iname '*.syd' \
          -o -iname '*.chk' -o -iname '*.gid' -o -iname 'mscreate.dir' -o -iname '0???????.nch' \) | wc -l)
      e=$(date +%s.%N)
      times+=("$(awk -v a="$s" -v b="$e" 'BEGIN { printf "%.4f", b - a }')")
    done
    med="$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
    echo "find13 found $n files"
    awk -v m="$med" -v b="$bare" 'BEGIN { printf "BENCH find13 %.3f %.2f\n", m, (b > 0 ? m / b : 0) }'
  fi
  if [ "$KES_BENCH_MODE" = junk ] || [ "$KES_BENCH_MODE" = all ]; then
    wine "$exe" junk 'T:\' --reps "$KES_BENCH_REPS" </dev/null 2>/dev/null | tr -d '\r'
  fi
}
if [ "${1:-}" = --inner ]; then inner; exit 0; fi

mode=walk files=100000 seed=1 reps=5
while [ $# -gt 0 ]; do
  case "$1" in
    walk|junk|all) mode="$1" ;;
    --files) files="$2"; shift ;;
    --seed) seed="$2"; shift ;;
    --reps) reps="$2"; shift ;;
    *) echo "usage: $0 [walk|junk|all] [--files N] [--seed S] [--reps R]" >&2; exit 2 ;;
  esac
  shift
done
folders=$(( files / 20 > 0 ? files / 20 : 1 ))
junk=$(( files / 20 ))

"$top/scripts/deps.sh"
[ -f "$build/build.ninja" ] || "$top/scripts/build.sh" "$build"
cmake --build "$build" --target kes_bench >/dev/null

tree="$build/bench-tree/f$files-s$seed"
if [ ! -f "$tree/.ready" ]; then
  rm -rf "$tree"
  python3 "$top/bench/gentree.py" "$tree/root" "$files" "$folders" "$junk" "$seed"
  touch "$tree/.ready"
fi
build="$(cd "$build" && pwd)"
export KES_BENCH_TREE="$tree/root" KES_BENCH_MODE="$mode" KES_BENCH_REPS="$reps" KES_BENCH_BUILD="$build"

exec xvfb-run -a -s "-screen 0 1280x1024x24" "$top/bench/run.sh" --inner

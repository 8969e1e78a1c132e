#!/bin/bash
# Applies each fault of a list to a scratch copy of the tree, one at a time,
# rebuilds incrementally, runs the test suite and reports whether a test
# failed (killed) or everything still passed (survived).
#
#   tools/scripts/mutation-check.sh [--in-place] [faults-file] [scratch-dir]
#
# The scratch copy is built from nothing once (the compiler cache helps on
# later runs). --in-place instead applies the faults to this tree itself and
# uses its build/linux; each file is put back after its fault, also when the
# run is interrupted. Commit first.
#
# The faults file has one fault a line: a source file, a tab, and a sed
# script that must change that file. Lines starting with # are comments.
# Not part of test-all: a run rebuilds and tests once per fault.
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
in_place=0
if [ "${1:-}" = --in-place ]; then in_place=1; shift; fi
faults=${1:-$here/tools/scripts/mutation-faults.txt}
scratch=${2:-$here/build/mutation}
timeout_s=${MUTATION_TEST_TIMEOUT:-300}
jobs=${MUTATION_JOBS:-2}

# The copy keeps the tree's own layout (build/linux inside it), so with the
# working directory left out of the hash the compiler cache serves every
# file a fault does not touch.
export CCACHE_NOHASHDIR=1
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd) # the tests run from the build folder
faults=$(cd "$(dirname "$faults")" && pwd)/$(basename "$faults")
if [ $in_place = 1 ]; then
    tree=$here
    build=$here/build/linux
else
    command -v rsync >/dev/null || { echo "the scratch copy needs rsync (apt-get install rsync), or use --in-place"; exit 2; }
    rsync -a --delete --exclude /build --exclude /.git "$here"/ "$scratch"/tree/
    tree=$scratch/tree
    build=$tree/build/linux
fi
log=$scratch/log
mkdir -p "$log"
target=
restore() { [ -n "$target" ] && [ -f "$scratch/original" ] && cp "$scratch/original" "$target"; target=; }
trap 'restore; exit 130' INT TERM

build_and_test() {
    cmake --build "$build" -j"$jobs" >"$log/$1.build" 2>&1 || return 2
    (cd "$build" && ctest -j"$jobs" --timeout "$timeout_s" --stop-on-failure >"$log/$1.test" 2>&1) || return 1
    return 0
}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log/configure" 2>&1 || {
        echo "configure failed, see $log/configure"; exit 2; }
fi
# MUTATION_SKIP_BASELINE=1 trusts that the unchanged tree was just built and passed.
if [ "${MUTATION_SKIP_BASELINE:-0}" != 1 ] && ! build_and_test baseline; then
    echo "the unchanged tree does not pass, see $log/baseline.*"; exit 2
fi

n=0 killed=0 survived=0 broken=0
while IFS=$'\t' read -r file script; do
    case "$file" in ''|'#'*) continue ;; esac
    n=$((n + 1))
    target=$tree/$file
    if [ ! -f "$target" ]; then
        echo "fault $n: NOT APPLIED (no such file)  $file  $script"
        broken=$((broken + 1)) target=
        continue
    fi
    cp "$target" "$scratch/original"
    sed -i "$script" "$target"
    if cmp -s "$target" "$scratch/original"; then
        echo "fault $n: NOT APPLIED  $file  $script"
        broken=$((broken + 1))
        continue
    fi
    build_and_test "fault$n"
    case $? in
    0) result=SURVIVED; survived=$((survived + 1)) ;;
    1) result=killed; killed=$((killed + 1)) ;;
    *) result="does not build"; broken=$((broken + 1)) ;;
    esac
    failed=$(sed -n '/tests FAILED:/,$p' "$log/fault$n.test" 2>/dev/null | grep -m3 -E '^\s+[0-9]+ - ' | sed 's/^\s*//' | tr '\n' ' ')
    echo "fault $n: $result  $file  $script  ${failed:+[$failed]}"
    # A fresh copy (new time stamp) makes the next build recompile the file.
    restore
done <"$faults"
# The last file put back is rebuilt, so the tree's build is current again.
cmake --build "$build" -j"$jobs" >"$log/final.build" 2>&1

applied=$((killed + survived))
[ "$applied" -gt 0 ] && echo "killed $killed of $applied ($((100 * killed / applied))%), $broken not applied or not building"

# Sourced by the fuzz-*.sh and asan-*.sh steps, with BUILD set to the build
# folder (or empty for the default): the fuzz tree is built by clang with
# AddressSanitizer and UndefinedBehaviorSanitizer.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
BUILD="${BUILD:-$ROOT/build}"
FUZZ_TREE="$BUILD/fuzz"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1 ${UBSAN_OPTIONS:-}"

#   build_fuzz_tree TARGET...
build_fuzz_tree() {
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_TREE" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVEL_SANITIZE=address,undefined -DORVEL_FUZZ=ON -DORVEL_WERROR=OFF >/dev/null
  local target
  for target in "$@"; do cmake --build "$FUZZ_TREE" -j "${ORVEL_JOBS:-$(nproc)}" --target "$target"; done
}

# Builds one libFuzzer target and feeds it arbitrary bytes for a bounded time
# (ORVEL_FUZZ_SECONDS, default 60), in a scratch home so that the user's
# settings and presets are never touched. Any crash, sanitizer report or
# failed check fails the step; the input that caused it is left in the
# tree's artifacts folder.
#
#   run_fuzzer TARGET MAX_LEN
run_fuzzer() {
  local target="$1" max_len="$2" tree="$FUZZ_TREE" work
  build_fuzz_tree "$target"

  work="$(mktemp -d)"
  trap 'rm -rf "'"$work"'"' EXIT
  mkdir -p "$work/corpus" "$work/home" "$tree/artifacts"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
  export ORVEL_FUZZ_SEED_DIR="$work/corpus"
  "$tree/tests/fuzz/$target" -max_total_time="${ORVEL_FUZZ_SECONDS:-60}" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$tree/artifacts/$target-" "$work/corpus"
}

#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in a normal build,
# once built with AddressSanitizer and UndefinedBehaviorSanitizer. A virtual X
# server (Xvfb) on a free display number serves the graphics tests.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kov_install "${KOV_RUN_PACKAGES[@]}" "${KOV_TEST_PACKAGES[@]}"

echo "== Layout of the sources (clang-format) =="
# Every C++ source and header as .clang-format lays it out.
(cd "$KOV_ROOT" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)

start_xvfb
# Graphics tests must fail, not skip, when the X server cannot be used.
export KOV_REQUIRE_X11=1

echo "== Normal build =="
kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_TESTS=ON -DKOV_BENCH=ON
(cd "$KOV_ROOT/build" && ctest --output-on-failure -j2)

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build =="
kov_build "$KOV_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKOV_SANITIZE=ON -DKOV_TESTS=ON \
  -DKOV_BENCH=OFF
# Xlib and fontconfig keep caches for the life of the process: leaks are not
# looked for in the tests that talk to the X server.
(cd "$KOV_ROOT/build-asan" &&
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2 -LE x11 &&
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2 -L x11)

echo "== Fuzzing the image readers (about 20 seconds each) =="
# A clang build with the fuzzer's coverage instrumentation and the two
# sanitizers; only the harnesses are built. New inputs go to a scratch
# directory, the committed seeds are only read; an input that makes a reader
# fail is kept as build-fuzz/crash-<target>-* and fails the run.
cmake -S "$KOV_ROOT" -B "$KOV_ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DKOV_FUZZ=ON -DKOV_TESTS=ON -DKOV_BENCH=OFF \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  >/dev/null
cmake --build "$KOV_ROOT/build-fuzz" --target fio_fuzzers -j"$(nproc)"
fuzz_work=$(mktemp -d)
for target in tiff merin binary princeton hamamatsu bas2000 bsl dexoram photometrics; do
  mkdir -p "$fuzz_work/$target"
  if ! ASAN_OPTIONS=quarantine_size_mb=8:max_malloc_fill_size=0 \
    "$KOV_ROOT/build-fuzz/tests/FIO/fuzz_$target" -max_total_time=20 \
    -artifact_prefix="$KOV_ROOT/build-fuzz/crash-$target-" \
    "$fuzz_work/$target" "$KOV_ROOT/tests/FIO/fuzz/corpus/$target" >"$fuzz_work/$target.log" 2>&1; then
    tail -n 60 "$fuzz_work/$target.log"
    echo "fuzz_$target failed" >&2
    exit 1
  fi
  echo "fuzz_$target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$fuzz_work/$target.log" | tail -n 1)"
done
rm -rf "$fuzz_work"

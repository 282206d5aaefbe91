#!/usr/bin/env bash
# Installs what is missing (the benchmarks' reference libraries included),
# builds and runs the benchmarks named (bench_kov_axis ...), every one
# without names; further options after "--" go to each benchmark.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kov_install "${KOV_RUN_PACKAGES[@]}" "${KOV_BENCH_PACKAGES[@]}"
names=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do names+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_BENCH=ON
if [ ${#names[@]} -eq 0 ]; then
  for b in "$KOV_ROOT"/build/bench/bench_*; do [ -x "$b" ] && names+=("$(basename "$b")"); done
fi
for name in "${names[@]}"; do
  echo "== $name =="
  "$KOV_ROOT/build/bench/$name" "$@"
done

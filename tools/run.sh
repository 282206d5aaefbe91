#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo series once (demo/, by
# kov_phantom) and starts the set-up on it, with the file selection opening in
# the demo folder. Options such as -LAND are passed on to kov_master.
#
# The demo run keeps its remembered answers in demo/home/.kov.def (seeded
# with the demo's first projection), so that the user's own ~/.kov.def is
# neither read nor changed.
#
# Without an X display ($DISPLAY empty) the same command runs the scripted
# walk-through of the end-to-end test on the demo series under a private
# Xvfb, and prints the parameter file, the axis found and the axis by
# reconstruction beside the true one, and
# where the screenshots of each step are.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

demo="$KOV_ROOT/demo"
series="$demo/series"

# With a display the program alone is built; without one, the tests too, for
# the walk-through.
if [ -z "${DISPLAY:-}" ]; then
  kov_install "${KOV_RUN_PACKAGES[@]}" "${KOV_TEST_PACKAGES[@]}"
  kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_TESTS=ON
else
  kov_install "${KOV_RUN_PACKAGES[@]}"
  kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_TESTS=OFF -DKOV_BENCH=OFF
fi

if [ ! -f "$series/true_axis.txt" ]; then
  mkdir -p "$series"
  "$KOV_ROOT/build/tools/kov_phantom" "$series"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: the scripted walk-through of the set-up on $series"
  start_xvfb
  export KOV_REQUIRE_X11=1 KOV_DEMO_DIR="$series" KOV_TEST_OUTPUT="$demo/screenshots"
  mkdir -p "$KOV_TEST_OUTPUT"
  "$KOV_ROOT/build/tests/kov/kov_x11_tests" --gtest_filter='Setup.WalkThroughOfTheDemoSeries' \
    --gtest_brief=1
  exit $?
fi

# The demo's own home for the defaults file; the X server's cookie stays the
# user's.
home="$demo/home"
mkdir -p "$home"
if [ ! -f "$home/.kov.def" ]; then
  printf '%s\n' "DATABASE DEFAULT VALUES FILE" "!!! DO NOT ALTER YOURSELF !!!" \
    "FILE_FIRST_DATA" "$series/proj_001.tif" >"$home/.kov.def"
fi
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
cd "$demo"
HOME="$home" exec "$KOV_ROOT/build/kov/kov_master" "$@"

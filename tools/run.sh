#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo series once (demo/, by
# kov_phantom) and starts the set-up on it, with the file selection opening in
# the demo folder. Options such as -LAND are passed on to kov_master.
#
# The demo run keeps its remembered answers in demo/home/.kov.def (seeded
# with the demo's first projection), so that the user's own ~/.kov.def is
# neither read nor changed.
#
# Without an X display ($DISPLAY empty) the same command replays the demo's
# recorded macro (demo/setup.mac, a copy of tools/demo_setup.mac) without a
# window: every answer comes from the macro, the axis is computed and the
# parameter file written; it prints the parameter file and the true axis.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

demo="$KOV_ROOT/demo"
series="$demo/series"

kov_install "${KOV_RUN_PACKAGES[@]}"
kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOV_TESTS=OFF -DKOV_BENCH=OFF

if [ ! -f "$series/true_axis.txt" ]; then
  mkdir -p "$series"
  "$KOV_ROOT/build/tools/kov_phantom" "$series"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: the demo's recorded macro replayed without a window on $series"
  cp "$KOV_ROOT/tools/demo_setup.mac" "$demo/setup.mac"
  parameters="$demo/set-up.par"
  [ -f "$parameters" ] && mv "$parameters" "$parameters.old"
  # A home of its own, fresh each time: the form entries the macro leaves
  # as offered take the defaults the macro was recorded with.
  home="$demo/replay-home"
  rm -rf "$home" && mkdir -p "$home"
  HOME="$home" "$KOV_ROOT/build/kov/kov_master" -NOGRAPHICS -MACRO "$demo/setup.mac" \
    -DEFINE "SERIES=$series" -DEFINE "PARAMETERS=$parameters" "$@"
  echo
  echo "--- The parameter file written: $parameters ---"
  cat "$parameters"
  echo "--- The true rotation axis of the demo series ($series/true_axis.txt) ---"
  cat "$series/true_axis.txt"
  exit 0
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

#!/usr/bin/env bash
# Installs what is missing, builds and runs kov_master with the given options
# (for example -LAND). Needs an X display ($DISPLAY) for the window.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
kov_install "${KOV_RUN_PACKAGES[@]}"
kov_build "$KOV_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$KOV_ROOT/build/kov/kov_master" "$@"

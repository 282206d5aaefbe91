# Shared by tools/run.sh and tools/test.sh: the Debian packages the project
# needs, installed when missing.
set -euo pipefail

KOV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages to build and run the program.
KOV_RUN_PACKAGES=(cmake g++ make libx11-dev libxft-dev libfontconfig1-dev fontconfig
  fonts-liberation fonts-dejavu-core)
# Further packages for the tests: GoogleTest (and Google Benchmark, whose
# programs the test command builds too), a virtual X server, event injection,
# screenshots, Ghostscript for the PostScript files, the sanitizer runtimes
# (and libFuzzer), the layout check of the sources, TIFF files of real
# writers (tifffile, ImageMagick, libtiff's tiffcp).
KOV_TEST_PACKAGES=(libgtest-dev libbenchmark-dev libxtst-dev xvfb xauth x11-apps x11-utils imagemagick ghostscript clang
  clang-format libclang-rt-14-dev python3-tifffile libtiff-tools)
# Packages of the benchmarks: Google Benchmark, and the references only
# (never linked into the program): FFTW for the correlation and the rotation
# axis, libtiff for image input. Without the references those benchmarks are
# left out of the build.
KOV_BENCH_PACKAGES=(libbenchmark-dev libfftw3-dev libtiff-dev)

kov_install() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing. Install them as root with:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
}

# kov_build <build dir> [cmake options...]
kov_build() {
  local dir=$1
  shift
  cmake -S "$KOV_ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# A private virtual X server on a display number that no X server uses
# (DISPLAY set to it), stopped when the script ends.
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT

# A display number that no X server uses.
start_xvfb() {
  local n
  for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # -noreset: without it the server resets whenever its last client leaves
    # (between two test processes), and a test connecting meanwhile is
    # refused.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "Could not start Xvfb" >&2
  exit 1
}

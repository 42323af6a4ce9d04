#!/usr/bin/env bash
# Sets up a Debian 12 machine for parallel-ratio, builds it, then opens it or tests it.
#
#   ./setup.sh run    install what is missing, build, open the window
#   ./setup.sh test   install what is missing, build, run every test
#
# Works as root or as a user with sudo; installs nothing when everything is present.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

mode=${1:-}
case "$mode" in
  run|test) ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

# What building and running need, then what the tests need on top.
packages=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          fonts-ipafont-gothic fonts-ipafont-mincho libfontconfig-dev libbenchmark-dev)
if [ "$mode" = test ]; then
  # desktop-file-utils, appstream and dpkg-dev check the installed files and the package.
  packages+=(xvfb xauth desktop-file-utils appstream dpkg-dev)
  # doctest for the core's tests, which use no Qt.
  packages+=(doctest-dev)
  # RapidCheck for the randomised tests; clang with its sanitizer and fuzzer runtimes for
  # the sanitizer and fuzzing stages of .ci/run.
  packages+=(librapidcheck-dev clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$jobs"

if [ "$mode" = run ]; then
  exec ./build/parallel-ratio
fi
ctest --test-dir build --output-on-failure -j "$jobs"

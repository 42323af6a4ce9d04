#!/usr/bin/env bash
# Sets up a Debian 12 machine for the web edition, builds its site, then serves or tests it.
#
#   web/setup.sh build   install what is missing, build the site into build-web/site
#   web/setup.sh serve   the same, then serve the site on http://127.0.0.1:8080/ (PORT=...)
#   web/setup.sh test    the same with the core's tests, then run them under node (ctest), and
#                        the web tests: the module under node, the page in headless Chromium
#                        (nothing leaves the machine)
#
# The site is a folder of static files: copy build-web/site to any web server, or open its
# index.html straight from disk. Works as root or as a user with sudo; installs nothing when
# everything is present.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode=${1:-}
case "$mode" in
  build|serve|test) ;;
  *) echo "usage: $0 build|serve|test" >&2; exit 2 ;;
esac

# Emscripten brings clang, lld, binaryen and node with it. The site's fonts are subsets of
# the IPA faces and P052 Italic made with fontTools; its icons are drawn with rsvg-convert.
# The page tests need Chromium; the core's tests need doctest.
packages=(emscripten cmake make fonttools python3-brotli librsvg2-bin
          fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35)
if [ "$mode" = test ]; then
  packages+=(chromium doctest-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
command -v node >/dev/null || missing+=(nodejs)
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

# Debian's Emscripten runs its JavaScript optimiser under node with Debian's own node
# modules, which a node from elsewhere does not look in by itself.
if [ -d /usr/share/nodejs ]; then
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
fi
# Its library cache lives beside the compiler; a user who may not write there gets their own.
if [ -d /usr/share/emscripten/cache ] && [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE=${EM_CACHE:-$HOME/.cache/emscripten}
fi

jobs=$(nproc 2>/dev/null || echo 2)
# The core's tests are built only for `test`; the plain site build stays quick. A build
# configured for the tests keeps them.
tests=OFF
[ "$mode" = test ] && tests=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f build-web/CMakeCache.txt ] || [ "$tests" = ON ]; then
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DPR_BUILD_DESKTOP=OFF -DPR_BUILD_TESTS="$tests" -DPR_BUILD_BENCH=OFF >/dev/null
fi
cmake --build build-web -j "$jobs"

case "$mode" in
  build)
    echo "The site is in build-web/site" ;;
  serve)
    exec node web/tools/serve.mjs build-web/site "${PORT:-8080}" ;;
  test)
    ctest --test-dir build-web --output-on-failure
    PR_WEB_SITE=$PWD/build-web/site exec node --test web/tests/ ;;
esac

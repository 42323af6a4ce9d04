#!/usr/bin/env bash
# Sets up a Debian 12 machine for parallel-ratio, builds it, then opens it, tests it or serves
# the web edition.
#
#   ./setup.sh run    install what building and running need, build the program, open it
#   ./setup.sh test   install what the tests need too, build everything (the desktop program
#                     with its tests into build/, the web edition into build-web/), run every test
#   ./setup.sh web    install what the web edition needs, build its site into build-web/site,
#                     serve it on http://127.0.0.1:8080/ (PORT=... to change)
#   ./setup.sh site   the same without serving: the static site to put on any web server
#   ./setup.sh class  the web edition and a live class on this machine: the message broker
#                     (nats-server) and the join service, listening on every interface
#                     (HOST=... to change); prints the teacher's and the pupils' addresses,
#                     the class code and the pupils' address as a QR code; Ctrl+C ends it;
#                     CERT=... KEY=... (PEM files) for HTTPS and WSS, PUBLIC_HOST=... for the
#                     name the certificate is for; --nodes 3 runs the broker as a cluster of
#                     three nodes on this machine
#
# Works as root or as a user with sudo; installs nothing when everything is present.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source tools/need-packages.sh

mode=${1:-}
case "$mode" in
  run|test|web|site|class) ;;
  *) echo "usage: $0 run|test|web|site|class" >&2; exit 2 ;;
esac
jobs=$(nproc 2>/dev/null || echo 2)

# What building and running the desktop program need.
# nlohmann-json reads the board file; P052 Italic draws the line letters; Qt's translations
# put its dialogs in Japanese; libnats reaches a live class's broker.
desktop_packages=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
                  libfontconfig-dev nlohmann-json3-dev qt6-translations-l10n libnats-dev
                  fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35)
# What building the web edition needs: Emscripten (it brings clang, lld and binaryen),
# fonttools with the faces for the font subsets the site ships, rsvg-convert for its icons.
# esbuild bundles the live class's NATS client (from npm) into the site.
web_packages=(emscripten cmake make nlohmann-json3-dev fonttools python3-brotli librsvg2-bin
              fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35 esbuild)
# What the tests need on top: doctest and RapidCheck for the core, Google Benchmark for the
# bench targets, an X server for the window checks and WebKit's, the package checkers, and the
# three engines the web edition's page is tested in: Chromium, Firefox ESR, and WebKitGTK
# through its WebDriver (MiniBrowser).
test_packages=(doctest-dev librapidcheck-dev libbenchmark-dev xvfb xauth
               desktop-file-utils appstream dpkg-dev file lintian chromium
               firefox-esr webkit2gtk-driver nats-server)
# What a live class needs on top of the web edition: the broker, and qrencode for the code
# pupils scan.
class_packages=(nats-server qrencode)

build_desktop() { # tests: ON|OFF
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPR_BUILD_TESTS="$1" -DPR_BUILD_BENCH="$1"
  cmake --build build -j "$jobs"
}

# The npm packages from the lock file: the live class's client, which the site bundles, and
# the JWT library the class server mints credentials with; with dev, playwright-core and
# puppeteer-core, which drive the system's Chromium and Firefox and download no browser.
npm_packages() { # dev: yes|no
  local omit=()
  [ "$1" = no ] && omit=(--omit=dev)
  (cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 PUPPETEER_SKIP_DOWNLOAD=1 \
     npm ci "${omit[@]}" --no-audit --no-fund --loglevel=error)
}

build_web() { # tests: ON|OFF
  # Debian's Emscripten runs its JavaScript tools under node with Debian's own node modules,
  # which a node from elsewhere does not look in by itself.
  if [ -d /usr/share/nodejs ]; then
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  fi
  # Its library cache lives beside the compiler; a user who may not write there gets their own.
  if [ -d /usr/share/emscripten/cache ] && [ ! -w /usr/share/emscripten/cache ]; then
    export EM_CACHE=${EM_CACHE:-$HOME/.cache/emscripten}
  fi
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
        -DPR_BUILD_DESKTOP=OFF -DPR_BUILD_BENCH=OFF -DPR_BUILD_TESTS="$1"
  cmake --build build-web -j "$jobs"
}

case "$mode" in
  run)
    need_packages "${desktop_packages[@]}"
    build_desktop OFF
    exec ./build/parallel-ratio ;;

  web|site)
    need_packages "${web_packages[@]}"
    need_node
    npm_packages no
    build_web OFF
    [ "$mode" = site ] && { echo "The site is in build-web/site"; exit 0; }
    exec node web/tools/serve.mjs build-web/site "${PORT:-8080}" ;;

  class)
    need_packages "${web_packages[@]}" "${class_packages[@]}"
    need_node
    npm_packages no
    build_web OFF
    exec node web/tools/class-server.mjs --host "${HOST:-0.0.0.0}" --site build-web/site "${@:2}" \
      ${CERT:+--cert "$CERT"} ${KEY:+--key "$KEY"} ${PUBLIC_HOST:+--public-host "$PUBLIC_HOST"} ;;

  test)
    need_packages "${desktop_packages[@]}" "${web_packages[@]}" "${test_packages[@]}"
    need_node
    # The desktop's class test runs the class server, which needs the web's packages.
    npm_packages yes
    build_desktop ON
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure -j "$jobs"

    echo "== The web edition"
    build_web ON
    ctest --test-dir build-web --output-on-failure -j "$jobs"
    PR_WEB_SITE=$PWD/build-web/site PR_REPLAY_TOOL=$PWD/build/tests/replay/replay_surface \
      node --test web/tests/ ;;
esac

#!/usr/bin/env bash
# Installs the build tree into a staging directory with prefix /usr and checks the result:
# exactly the expected files, icons of the sizes their directories claim, a desktop entry and
# metainfo that pass desktop-file-validate and appstreamcli (offline) and agree with each other
# and with the installed files, a manual page man reads without a warning, and a program that
# starts from its installed path.
#
#   check_install.sh <cmake> <build-dir> <stage-dir> <version> <file-list> <app-id> <icon-size>...
set -euo pipefail
cmake=$1 build=$2 stage=$3 version=$4 file_list=$5 id=$6
shift 6
icon_sizes=("$@")

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "missing $1 (Debian: $2)"; }
need desktop-file-validate desktop-file-utils
need appstreamcli appstream

rm -rf "$stage"
DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >/dev/null
root=$stage/usr

# Exactly the expected files, and nothing outside the prefix.
[ "$(ls -A "$stage")" = usr ] || fail "files installed outside the prefix: $(ls -A "$stage")"
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort "$file_list")
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "installed files differ from $file_list (< expected, > installed)"
fi

# The program: an executable ELF file with no run path into the build or source tree.
bin=$root/bin/parallel-ratio
[ -x "$bin" ] || fail "$bin is not executable"
[ "$(head -c 4 "$bin" | od -An -c | tr -d ' ')" = '177ELF' ] || fail "$bin is not an ELF file"
if command -v readelf >/dev/null; then
  runpath=$(readelf -d "$bin" | grep -E 'R(UN)?PATH' || true)
  [ -z "$runpath" ] || fail "installed program keeps a run path: $runpath"
fi

# Icons: PNG files whose header size is their directory's size; an SVG with a square viewBox.
for size in "${icon_sizes[@]}"; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
                  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x$h, not ${size}x$size"
done
svg=$root/share/icons/hicolor/scalable/apps/$id.svg
grep -q '<svg[^>]*viewBox="0 0 \([0-9]*\) \1"' "$svg" || fail "$svg has no square viewBox"

# The validators.
desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
if grep -Eq 'error|warning' <<<"$out"; then fail "desktop-file-validate: $out"; fi
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$stage" || fail "appstreamcli validate-tree"

# The desktop entry names the installed program and icon, in Japanese and English.
key() { sed -n "s/^$1=//p" "$desktop"; }
exec_name=$(key Exec | awk '{print $1}')
[ -x "$root/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon), expected $id"
for k in Name 'Name\[ja\]' Comment 'Comment\[ja\]'; do
  [ -n "$(key "$k")" ] || fail "desktop entry has no $k"
done
key 'Name\[ja\]' | grep -q '[^ -~]' || fail "Name[ja] is not in Japanese"
for c in Education Math; do
  key Categories | tr ';' '\n' | grep -qx "$c" || fail "Categories lacks $c"
done

# The metainfo matches the desktop entry, the program and the project's version.
tag() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$metainfo" | head -1; }
[ "$(tag id)" = "$id" ] || fail "metainfo id $(tag id), expected $id"
[ "$(tag launchable)" = "$id.desktop" ] || fail "launchable $(tag launchable)"
[ -x "$root/bin/$(tag binary)" ] || fail "provided binary $(tag binary) is not installed"
release=$(sed -n 's|.*<release [^>]*version="\([^"]*\)".*|\1|p' "$metainfo" | head -1)
[ "$release" = "$version" ] || fail "newest metainfo release is $release, the project is $version"

# The manual page: gzip'd without a name or time stamp, and read by man without a warning.
manpage=$root/share/man/man1/parallel-ratio.1.gz
[ "$(od -An -tx1 -j4 -N4 "$manpage" | tr -d ' \n')" = 00000000 ] || fail "$manpage has a time stamp"
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man reports: $warnings"
  page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$manpage" 2>/dev/null)
  for option in --fullscreen --large-pointer --help --version; do
    grep -q -- "$option" <<<"$page" || fail "$manpage does not document $option"
  done
fi

# The installed program starts and keeps running until stopped.
log=$stage.log
rc=0
QT_QPA_PLATFORM=offscreen timeout 2 "$bin" >"$log" 2>&1 || rc=$?
[ "$rc" = 124 ] || { cat "$log" >&2; fail "installed program exited with $rc instead of running"; }
if grep -q 'failed to load' "$log"; then cat "$log" >&2; fail "installed program reports missing resources"; fi
echo "install into $stage: ok"

#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: its control fields, that it holds
# exactly the installed files with root ownership and a stripped program, and that its
# Depends covers what the program needs at run time, namely
#   - the shared libraries dpkg-shlibdeps finds in the packaged program, at their versions,
#   - the packages holding the Qt plugins it loads (platform and JPEG image format),
#   - the packages holding the fonts it picks on Debian (IPAPGothic, IPAPMincho, and P052
#     Italic for the line letters),
# that every dependency is a package installed here at a version it accepts, and that the
# program is built and stripped as Debian's own: hardened (full RELRO, PIE, stack protector,
# fortified calls) and without the compiler's notes.
#
#   check_package.sh <cpack> <build-dir> <out-dir> <version> <file-list> <plugin-file>...
set -euo pipefail
cpack=$1 build=$2 out=$3 version=$4 file_list=$5
shift 5
plugins=("$@")

fail() { echo "FAIL: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "missing $1 (Debian: $2)"; }
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need fc-list fontconfig

rm -rf "$out"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
arch=$(dpkg --print-architecture)
deb=$out/parallel-ratio_${version}-1_${arch}.deb
[ -f "$deb" ] || fail "no $deb; built: $(ls "$out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = parallel-ratio ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -ge 2 ] || fail "Description has no long text"
depends=$(field Depends)
echo "Depends: $depends"

# Contents: exactly the installed files, owned by root; the program executable and stripped.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 ~ /^-/ {print $6}' <<<"$listing" | sed 's|^\./usr/||' | LC_ALL=C sort)
expected=$(LC_ALL=C sort "$file_list")
if [ "$files" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$files") >&2 || true
  fail "package contents differ from $file_list (< expected, > packaged)"
fi
if awk '$2 != "root/root"' <<<"$listing" | grep -q .; then fail "files not owned by root"; fi
grep -Eq '^-rwxr-xr-x .* \./usr/bin/parallel-ratio$' <<<"$listing" || fail "program not mode 755"
root=$out/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/parallel-ratio
if command -v readelf >/dev/null; then
  sections=$(readelf -SW "$program")
  grep -q '\.debug_info' <<<"$sections" && fail "packaged program is not stripped"
  grep -Eq '\] \.(comment|note) ' <<<"$sections" && fail "packaged program keeps .comment or .note"
  # Hardening, read from the binary as hardening-check (devscripts) reads it, where the build
  # applied it (PR_EXPECT_HARDENED). Fortified calls cannot be told apart this way: the
  # compiler keeps the plain call wherever it proves the buffer large enough, as it does for
  # every call of this program.
  # (Each output is read whole: grep -q stopping early would fail the pipe.)
  if [ "${PR_EXPECT_HARDENED:-0}" = 1 ]; then
    segments=$(readelf -lW "$program") dynamic=$(readelf -dW "$program")
    header=$(readelf -hW "$program") symbols=$(readelf --dyn-syms -W "$program")
    grep -q GNU_RELRO <<<"$segments" || fail "packaged program has no RELRO segment"
    grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$dynamic" || fail "packaged program is not bound at start (-z now)"
    grep -q 'DYN (' <<<"$header" || fail "packaged program is not position independent"
    grep -q '__stack_chk_fail' <<<"$symbols" || fail "packaged program has no stack protector"
  fi
fi

# Depends as "name version-or-empty" lines; alternatives are not used.
deps=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *//; s/ *$//; s/^([^ (]+) *(\(>= *([^)]+)\))?$/\1 \3/')
grep -q '[|(]' <<<"$deps" && fail "unexpected relation in Depends: $depends"
require() { # package [minimum version] why
  local line
  line=$(awk -v p="$1" '$1 == p' <<<"$deps")
  [ -n "$line" ] || fail "Depends lacks $1 ($3)"
  if [ -n "$2" ]; then
    local have
    have=$(awk '{print $2}' <<<"$line")
    [ -n "$have" ] || fail "Depends has $1 without a version; $3 need $1 (>= $2)"
    dpkg --compare-versions "$have" ge "$2" ||
      fail "Depends has $1 (>= $have); $3 need $1 (>= $2)"
  fi
}

# Shared libraries, as dpkg-shlibdeps sees the packaged program.
mkdir -p "$out/shlibs/debian"
printf 'Source: parallel-ratio\n\nPackage: parallel-ratio\nArchitecture: any\n' >"$out/shlibs/debian/control"
shlibs=$(cd "$out/shlibs" && dpkg-shlibdeps -O "$program" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || fail "dpkg-shlibdeps found no libraries"
echo "dpkg-shlibdeps: $shlibs"
while read -r pkg ver; do
  require "$pkg" "$ver" "the linked libraries"
done < <(tr ',' '\n' <<<"$shlibs" | sed -E 's/^ *//; s/^([^ (]+) *(\(>= *([^)]+)\))?.*$/\1 \3/')

# Qt plugins loaded at run time.
for plugin in "${plugins[@]}"; do
  [ -f "$plugin" ] || fail "no plugin $plugin"
  pkg=$(dpkg -S "$plugin" | head -1 | cut -d: -f1)
  require "$pkg" "" "$(basename "$plugin")"
done

# The faces the program chooses on Debian: the Japanese ones, and the letters' italic.
for family in IPAPGothic IPAPMincho P052:style=Italic; do
  file=$(fc-list ":family=$family" file | head -1 | sed 's/: *$//')
  [ -n "$file" ] || fail "font $family is not installed here"
  pkg=$(dpkg -S "$file" | head -1 | cut -d: -f1)
  require "$pkg" "" "the font $family"
done

# Every dependency is a real package, installed here at a version it accepts.
while read -r pkg ver; do
  have=$(dpkg-query -W -f='${Version}' "$pkg" 2>/dev/null) || fail "Depends names $pkg, which is not installed here"
  [ -z "$ver" ] || dpkg --compare-versions "$have" ge "$ver" || fail "$pkg $have is older than Depends' $ver"
  case $pkg in *-dev) fail "Depends names the development package $pkg" ;; esac
done <<<"$deps"

echo "package $deb: ok"

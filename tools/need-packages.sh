#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet, with
# apt-get, as root or through sudo. Installs nothing (and needs no root) when all are present.
# Sourced by setup.sh and .ci/run so that both install the same way.
#
#   need_packages pkg...
need_packages() {
  local missing=() p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
    install -y -qq --no-install-recommends "${missing[@]}"
}

# Node and npm: Debian's, unless the machine already has commands of that name from
# elsewhere (a Node bundling its own npm conflicts with Debian's npm package).
need_node() {
  local want=()
  command -v node >/dev/null || want+=(nodejs)
  command -v npm >/dev/null || want+=(npm)
  [ ${#want[@]} -eq 0 ] || need_packages "${want[@]}"
}

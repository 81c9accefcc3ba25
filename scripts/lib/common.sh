# Sourced by every script in scripts/ as its first line:
#   source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
# Strict mode; here (scripts/), root (the source tree) and build (BUILD_DIR, default build/);
# and installing Debian packages as root, or with sudo when not root.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
root="$(cd "$here/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

# as_root COMMAND...: runs COMMAND as root, through sudo when we are not root.
as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    sudo "$@"
  else
    "$@"
  fi
}

# apt_get ARGS...: apt-get as root without questions.
apt_get() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get "$@"
}

# install_missing PACKAGE...: installs, in one go, those of the packages that are not installed
# yet; nothing at all (not even apt-get update) when every one is there.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  apt_get update -qq
  apt_get install -y -qq "${missing[@]}" >/dev/null
}

# Shared by the set-up scripts: installs what is missing and builds.
# Sourced, not run.

QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QV_BUILD="${QV_BUILD:-$QV_ROOT/build}"

QV_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
  firebird3.0-examples
  xvfb xauth xdotool dbus dbus-x11 at-spi2-core python3-pyatspi
)

qv_sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Runs a command while Debian's service policy refuses every service start:
# the server package would otherwise start a system-wide server from its
# install script, and the tests start private servers of their own.
qv_without_service_starts() {
  local policy=/usr/sbin/policy-rc.d
  if [ -e "$policy" ]; then
    "$@"
    return
  fi
  printf '#!/bin/sh\nexit 101\n' | qv_sudo tee "$policy" >/dev/null &&
    qv_sudo chmod +x "$policy" || return 1
  local status=0
  "$@" || status=$?
  qv_sudo rm -f "$policy"
  return $status
}

qv_install() {
  local missing=()
  for p in "${QV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    qv_sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    qv_without_service_starts qv_sudo env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Configures from a preset of CMakePresets.json into a folder and builds
# there: qv_configure_build <preset> <folder> [cmake --build options...]
qv_configure_build() {
  local preset="$1" folder="$2"
  shift 2
  (cd "$QV_ROOT" && cmake --preset "$preset" -B "$folder" >/dev/null) &&
    cmake --build "$folder" -j "$(nproc)" "$@"
}

qv_build() {
  qv_configure_build default "$QV_BUILD"
}

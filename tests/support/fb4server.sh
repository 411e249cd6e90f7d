#!/usr/bin/env bash
# A Firebird 4.0 server for the Firebird 4 suites: Debian 13's packages in a
# private root, made once and reused whenever it is there already.
#
#   fb4server.sh ensure [ROOT] [PORT]   makes the root when it is missing,
#                                       starts the server when it does not
#                                       listen, prints the folder to name
#                                       databases in (localhost/PORT:/data)
#
# Defaults: ROOT /opt/fb4root, PORT 3051. SYSDBA's password is masterkey.
# The server sees ROOT/data as /data. Needs root (debootstrap, chroot,
# mounts); sudo is used for it when the caller is not root.
set -euo pipefail

root="${2:-${QUORVEL_FB4_ROOT:-/opt/fb4root}}"
port="${3:-${QUORVEL_FB4_PORT:-3051}}"
FB4_BIN=/usr/lib/x86_64-linux-gnu/firebird/4.0/bin
PASSWORD=masterkey

die() { echo "fb4server.sh: $*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

listening() {
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null
}

in_root() {
  as_root chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
    bash -c "$1"
}

# Only what the server needs: no recommended packages, no translations,
# no manual pages, which keeps the download and the unpacking short.
install_server() {
  in_root 'printf "Acquire::Languages \"none\";\n" >/etc/apt/apt.conf.d/99quorvel
    apt-get update -qq &&
    apt-get install -y -qq --no-install-recommends firebird4.0-server firebird4.0-utils \
      >/dev/null'
}

configure_server() {
  local conf="$root/etc/firebird/4.0/firebird.conf"
  printf 'RemoteServicePort = %s\nAuthServer = Srp256, Srp\nWireCrypt = Enabled\n' "$port" \
    | as_root tee -a "$conf" >/dev/null
  printf '127.0.0.1 localhost\n::1 localhost\n' | as_root tee "$root/etc/hosts" >/dev/null
  in_root "cd /tmp && printf \"create or alter user SYSDBA password '%s' using plugin Srp;
commit;\n\" $PASSWORD | isql-fb -user SYSDBA -q /var/lib/firebird/4.0/system/security4.fdb"
  as_root mkdir -p "$root/data"
  as_root chmod 1777 "$root/data"
}

# A half-made root (an interrupted run) is finished, not made again.
make_root() {
  [ -x "$root$FB4_BIN/firebird" ] && return 0
  command -v debootstrap >/dev/null || {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  }
  [ -x "$root/usr/bin/apt-get" ] || as_root debootstrap --variant=minbase trixie "$root" >/dev/null
  mount_system
  install_server
  configure_server
}

mount_system() {
  mountpoint -q "$root/dev" || as_root mount --bind /dev "$root/dev"
  mountpoint -q "$root/proc" || as_root mount --bind /proc "$root/proc"
}

# Detached from the caller's terminal and output, so that a test runner
# waiting for its fixture's output to end does not wait for the server.
start_server() {
  listening && return 0
  as_root setsid chroot "$root" "$FB4_BIN/firebird" -p "$port" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do
    listening && return 0
    sleep 0.1
  done
  die "the Firebird 4 server did not listen on port $port"
}

ensure() {
  make_root
  mount_system
  start_server
  echo "localhost/$port:/data"
}

[ $# -ge 1 ] || die "usage: fb4server.sh ensure [ROOT] [PORT]"
case "$1" in
  ensure) ensure ;;
  *) die "unknown command $1" ;;
esac

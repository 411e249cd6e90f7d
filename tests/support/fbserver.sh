#!/usr/bin/env bash
# A private Firebird server for the tests that need a real one.
#
#   fbserver.sh start <dir>    builds a fresh Firebird root in <dir>, starts the
#                              server on a free loopback port, prints the port
#   fbserver.sh kill <dir>     kills the server outright (SIGKILL): a crash
#   fbserver.sh restart <dir>  starts it again on the same root and port, so
#                              the same connection string reaches it
#   fbserver.sh ensure <dir>   restarts it only when it is not running
#   fbserver.sh stop <dir>     stops the server and removes <dir>
#
# SYSDBA's password is in <dir>/password, the port in <dir>/port.
set -euo pipefail

FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
FB_SERVER=/usr/sbin/firebird
FB_SECURITY=/var/lib/firebird/3.0/system/security3.fdb
FB_SECURITY_SQL=/usr/share/firebird/3.0/security.sql
PASSWORD=fixture-pw

die() { echo "fbserver.sh: $*" >&2; exit 1; }

free_port() {
  /usr/bin/python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

listening() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

root_env() {
  export FIREBIRD="$1/root" FIREBIRD_LOCK="$1/lock" FIREBIRD_TMP="$1/tmp"
}

write_conf() {
  local dir="$1" port="$2"
  cat >"$dir/root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/root/security3.fdb
ServerMode = Super
UdfAccess = None
CONF
}

# A security database whose SYSDBA has the known password, set through the
# embedded engine before any server holds the file.
make_security_db() {
  local dir="$1" db="$1/root/security3.fdb"
  if [ -r "$FB_SECURITY" ]; then
    cp "$FB_SECURITY" "$db"
  else
    printf "CREATE DATABASE '%s';\nINPUT '%s';\nCOMMIT;\n" "$db" "$FB_SECURITY_SQL" \
      | isql-fb -q >/dev/null
  fi
  printf "CREATE OR ALTER USER SYSDBA PASSWORD '%s' USING PLUGIN Srp;\nCOMMIT;\n" "$PASSWORD" \
    | isql-fb -q -user SYSDBA "$db" >/dev/null
}

set_up() {
  local dir="$1"
  mkdir -p "$dir/root" "$dir/lock" "$dir/tmp"
  local name
  for name in plugins intl firebird.msg plugins.conf; do
    ln -sfn "$FB_LIB/$name" "$dir/root/$name"
  done
  printf '%s\n' "$PASSWORD" >"$dir/password"
  free_port >"$dir/port"
  write_conf "$dir" "$(cat "$dir/port")"
  root_env "$dir"
  make_security_db "$dir"
}

# Runs the server of <dir> until it listens; fails when it exits first.
launch() {
  local dir="$1" port
  port="$(cat "$dir/port")"
  root_env "$dir"
  setsid "$FB_SERVER" >>"$dir/server.log" 2>&1 </dev/null &
  echo $! >"$dir/pid"
  for _ in $(seq 150); do
    if listening "$port"; then
      echo "$port"
      return 0
    fi
    kill -0 "$(cat "$dir/pid")" 2>/dev/null || { rm -f "$dir/pid"; return 1; }
    sleep 0.1
  done
  die "server did not listen on port $port"
}

# The free port may be taken between choosing and binding it: choose again.
start() {
  local dir="$1"
  stop "$dir"
  set_up "$dir"
  for _ in 1 2 3; do
    launch "$dir" && return 0
    free_port >"$dir/port"
    write_conf "$dir" "$(cat "$dir/port")"
  done
  die "server exited; see $dir/server.log"
}

restart() {
  local dir="$1"
  [ -f "$dir/port" ] || die "no server was started in $dir"
  kill_server "$dir"
  launch "$dir" || die "server exited; see $dir/server.log"
}

server_pid() {
  [ -f "$1/pid" ] && cat "$1/pid"
}

kill_server() {
  local pid
  pid="$(server_pid "$1")" || return 0
  kill -KILL "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  rm -f "$1/pid"
}

stop() {
  local dir="$1" pid
  if pid="$(server_pid "$dir")"; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill_server "$dir"
  fi
  rm -rf "$dir"
}

ensure() {
  local pid
  if pid="$(server_pid "$1")" && kill -0 "$pid" 2>/dev/null; then
    cat "$1/port"
  else
    restart "$1"
  fi
}

[ $# -eq 2 ] || die "usage: fbserver.sh start|kill|restart|ensure|stop <dir>"
case "$1" in
  start) start "$2" ;;
  restart) restart "$2" ;;
  ensure) ensure "$2" ;;
  kill) kill_server "$2" ;;
  stop) stop "$2" ;;
  *) die "unknown command $1" ;;
esac

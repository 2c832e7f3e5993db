#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests and the benchmarks, in a folder of its own.
#
#   pg_server.sh start STATE   initdb and pg_ctl in a new temporary folder, on a free local port;
#                              STATE (a file) then holds the folder, and the URI of the empty
#                              database "catalogue" (superuser quorvane_admin) goes to stdout
#   pg_server.sh stop STATE    stops that server, removes its folder and STATE; nothing when
#                              STATE is missing
#   pg_server.sh pause STATE   stops the server and keeps its folder
#   pg_server.sh resume STATE  starts it again on the same port
#
# The server never runs as root: run as root (CI), it runs as the unprivileged user quorvane-pg,
# made here when missing (tools/setup.sh makes it too).
set -euo pipefail
cmd="${1:-}"
state="${2:-}"
if [ -z "$cmd" ] || [ -z "$state" ]; then
  echo "usage: pg_server.sh start|stop|pause|resume STATE" >&2
  exit 2
fi
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bin" ]; then
  echo "pg_server.sh: no PostgreSQL server in /usr/lib/postgresql (bash tools/setup.sh installs it)" >&2
  exit 1
fi
user=quorvane-pg

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$user" -- "$@"
  else
    "$@"
  fi
}

pg_ctl_run() {
  local dir="$1" port="$2" what="$3"
  as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w -t 30 \
    -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off" "$what" >/dev/null
}

case "$cmd" in
start)
  if [ "$(id -u)" -eq 0 ] && ! id -u "$user" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  fi
  dir="$(mktemp -d /tmp/quorvane-pg.XXXXXX)"
  if [ "$(id -u)" -eq 0 ]; then chown "$user" "$dir"; fi
  port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  printf '%s\n%s\n' "$dir" "$port" >"$state"
  as_server "$bin/initdb" -D "$dir/data" -U quorvane_admin -A trust -E UTF8 --locale=C --no-sync \
    >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
  pg_ctl_run "$dir" "$port" start || { cat "$dir/log" >&2; exit 1; }
  "$bin/createdb" -h 127.0.0.1 -p "$port" -U quorvane_admin catalogue
  echo "postgresql://quorvane_admin@127.0.0.1:$port/catalogue"
  ;;
stop | pause | resume)
  [ -f "$state" ] || exit 0
  dir="$(sed -n 1p "$state")"
  port="$(sed -n 2p "$state")"
  case "$cmd" in
  resume) pg_ctl_run "$dir" "$port" start ;;
  *)
    # A pause keeps what was committed (a clean stop); a stop throws the folder away anyway.
    mode=fast
    if [ "$cmd" = stop ]; then mode=immediate; fi
    if [ -f "$dir/data/postmaster.pid" ]; then
      as_server "$bin/pg_ctl" -D "$dir/data" -m "$mode" -w stop >/dev/null || true
    fi
    if [ "$cmd" = stop ]; then
      rm -rf "$dir"
      rm -f "$state"
    fi
    ;;
  esac
  ;;
*)
  echo "pg_server.sh: unknown command $cmd" >&2
  exit 2
  ;;
esac

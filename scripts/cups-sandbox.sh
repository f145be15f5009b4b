#!/usr/bin/env bash
# A private CUPS server for the printing tests, so that no test ever reaches
# the machine's own print system.
#
#   cups-sandbox.sh start DIR   starts cupsd with everything under DIR (its
#                               socket DIR/cups.sock) and a raw queue
#                               "BrisdenTest" whose printer writes what it
#                               receives to the file DIR/out.prn; prints the
#                               CUPS_SERVER value
#   cups-sandbox.sh stop DIR    stops both and removes DIR
#
# The printer is a network text printer on a local port (the socket backend,
# as for a printer on the network), played by cups-printer-listener.py, which
# appends each job's bytes to DIR/out.prn in the order the jobs are printed.
# (A queue on a file: device would do without it, but cupsd writes a file
# device only through a filter, and raw jobs have none; it also empties the
# file for every job.)
#
# Clients reach the server with CUPS_SERVER=DIR/cups.sock. When cupsd or
# lpadmin is not installed, start writes DIR/unavailable and succeeds, and
# the tests that need the queue skip; scripts/install-deps.sh installs both.
# The server runs as the calling user; when that is root, cupsd runs its
# helpers as an unprivileged user, so DIR is made readable for it.
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
dir=$2
queue=BrisdenTest

here=$(cd "$(dirname "$0")" && pwd)

# Ends the processes named by the pid files given, waiting up to 5 seconds
# before killing any that are left.
stop_pids() {
  local pids=() f pid
  for f in "$@"; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    rm -f "$f"
    kill -0 "$pid" 2>/dev/null || continue
    kill "$pid" 2>/dev/null || true
    pids+=("$pid")
  done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null || true
  done
}

stop_server() {
  stop_pids "$dir/cupsd.pid" "$dir/listener.pid"
}

case "$action" in
  stop)
    stop_server
    rm -rf "$dir"
    exit 0
    ;;
  start) ;;
  *) usage ;;
esac

cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
stop_server
rm -rf "$dir"
mkdir -p "$dir"
if [ ! -x "$cupsd" ] || [ ! -x "$lpadmin" ] || ! command -v lpstat > /dev/null ||
   [ ! -x /usr/lib/cups/backend/socket ]; then
  echo "cupsd, lpadmin, lpstat or the socket backend missing: the print queue tests will skip" \
    > "$dir/unavailable"
  cat "$dir/unavailable" >&2
  exit 0
fi

socket="$dir/cups.sock"
if [ ${#socket} -gt 100 ]; then
  echo "$socket: too long for a local socket" >&2
  exit 1
fi
mkdir -p "$dir/conf" "$dir/spool/temp" "$dir/cache" "$dir/state" "$dir/log"
chmod 755 "$dir"
user=$(id -un)
group=$(id -gn)
if [ "$(id -u)" -eq 0 ]; then
  # cupsd refuses to run its helpers as root.
  if id lp > /dev/null 2>&1; then user=lp; group=$(id -gn lp); else user=nobody; group=nogroup; fi
fi

cat > "$dir/conf/cupsd.conf" <<CONF
Listen $socket
Browsing No
LogLevel warn
MaxLogSize 0
DefaultAuthType None
WebInterface No
PreserveJobHistory Yes
PreserveJobFiles No
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF

cat > "$dir/conf/cups-files.conf" <<CONF
Printcap $dir/state/printcap
User $user
Group $group
SystemGroup $(id -gn)
ServerRoot $dir/conf
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/temp
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
CONF

# The server's environment: nothing from a system server setting leaks in.
env -u CUPS_SERVER CUPS_SERVERROOT="$dir/conf" \
  nohup "$cupsd" -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
  > "$dir/log/cupsd.out" 2>&1 < /dev/null &
echo $! > "$dir/cupsd.pid"

export CUPS_SERVER="$socket"
for _ in $(seq 100); do
  [ -S "$socket" ] && lpstat -r > /dev/null 2>&1 && break
  if ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
    echo "cupsd did not start:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.1
done
if ! lpstat -r > /dev/null 2>&1; then
  echo "cupsd does not answer on $socket" >&2
  stop_server
  exit 1
fi

# The printer, then a raw queue for it: jobs reach it byte for byte. (lpadmin
# warns that raw queues are deprecated; they are what a text printer needs.)
nohup python3 "$here/cups-printer-listener.py" "$dir/out.prn" "$dir/listener.port" \
  > "$dir/log/listener.out" 2>&1 < /dev/null &
echo $! > "$dir/listener.pid"
for _ in $(seq 100); do [ -f "$dir/listener.port" ] && break; sleep 0.1; done
if [ ! -f "$dir/listener.port" ]; then
  echo "the printer listener did not start:" >&2
  cat "$dir/log/listener.out" >&2
  stop_server
  exit 1
fi
port=$(cat "$dir/listener.port")
"$lpadmin" -p "$queue" -E -v "socket://127.0.0.1:$port" -m raw \
  2> "$dir/log/lpadmin.out" || {
  cat "$dir/log/lpadmin.out" >&2
  stop_server
  exit 1
}
echo "$socket"

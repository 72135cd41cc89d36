#!/bin/sh
# A plain HTTP server on the loopback address for the download tests, run in the background.
# usage: http-server.sh start|stop BUILD_DIR
#
# start: serves BUILD_DIR/http-test/root on 127.0.0.1 at a port the system picks, and writes
#   port         the port it listens on
#   closed-port  a loopback port that nothing listens on (free when it was looked up)
#   requests.log one line per request the server received
#   root/payload.bin  4096 bytes holding every byte value, and root/large.bin (1 MB)
# stop: ends the server started by start (by the process id it wrote), if it still runs.
set -eu
cmd=$1
dir="$2/http-test"

stop() {
    if [ -f "$dir/pid" ]; then
        pid=$(cat "$dir/pid")
        kill "$pid" 2>/dev/null || true
        rm -f "$dir/pid"
    fi
}

case "$cmd" in
start)
    stop
    rm -rf "$dir"
    mkdir -p "$dir/root"
    python3 - "$dir" <<'PY'
import socket, sys
d = sys.argv[1]
with open(d + "/root/payload.bin", "wb") as f:
    f.write(bytes(range(256)) * 16)
with open(d + "/root/large.bin", "wb") as f:
    f.write(bytes((i * 7 + i // 251) & 0xFF for i in range(1 << 20)))
s = socket.socket()
s.bind(("127.0.0.1", 0))
with open(d + "/closed-port", "w") as f:
    f.write(str(s.getsockname()[1]))
s.close()
PY
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$dir/root" \
        </dev/null >"$dir/server.out" 2>"$dir/requests.log" &
    echo $! >"$dir/pid"
    port=""
    for _ in $(seq 100); do
        port=$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9][0-9]*\).*/\1/p' "$dir/server.out")
        [ -n "$port" ] && break
        sleep 0.1
    done
    if [ -z "$port" ]; then
        echo "the HTTP server did not start"
        cat "$dir/server.out" "$dir/requests.log"
        stop
        exit 1
    fi
    printf '%s' "$port" >"$dir/port"
    echo "serving $dir/root on 127.0.0.1:$port"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop BUILD_DIR"
    exit 2
    ;;
esac

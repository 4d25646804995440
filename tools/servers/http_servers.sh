#!/usr/bin/env bash
# Starts or stops the test HTTP servers of one build tree:
#   http_servers.sh start STATE_DIR   nginx and the fault server on free
#                                     loopback ports; writes STATE_DIR/ports.txt
#   http_servers.sh stop STATE_DIR    stops the servers this folder started
# Everything nginx writes (pid, logs, temp files) stays inside STATE_DIR, and
# the files tests publish go to STATE_DIR/docroot.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
action="${1:-}"
state="${2:-}"
if [[ -z "$action" || -z "$state" ]]; then
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
fi

stop_servers() {
    local pidfile pid
    for pidfile in "$state/nginx.pid" "$state/fault.pid"; do
        [[ -f "$pidfile" ]] || continue
        pid="$(cat "$pidfile" 2>/dev/null)"
        if [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        fi
        rm -f "$pidfile"
    done
    rm -f "$state/ports.txt"
}

# Debian keeps nginx in /usr/sbin, which a plain user's PATH may lack.
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

wait_for_port() {
    local port="$1"
    for _ in $(seq 100); do
        if python3 -c "import socket,sys; s=socket.socket(); s.settimeout(0.2); sys.exit(s.connect_ex(('127.0.0.1',$port)))" 2>/dev/null; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

write_nginx_conf() {
    local port="$1" user_line=""
    [[ "$(id -u)" == 0 ]] && user_line="user root;"
    cat > "$state/nginx.conf" <<CONF
$user_line
daemon on;
worker_processes 2;
pid $state/nginx.pid;
error_log $state/logs/error.log warn;
events { worker_connections 512; }
http {
    default_type application/octet-stream;
    log_format tarsel '\$request_method \$uri "\$http_range" \$status \$body_bytes_sent';
    access_log $state/logs/access.log tarsel;
    client_body_temp_path $state/tmp/body;
    proxy_temp_path $state/tmp/proxy;
    fastcgi_temp_path $state/tmp/fastcgi;
    uwsgi_temp_path $state/tmp/uwsgi;
    scgi_temp_path $state/tmp/scgi;
    sendfile on;
    keepalive_timeout 10;
    server {
        listen 127.0.0.1:$port;
        root $state/docroot;
        # a slow copy of every file, for cancelling mid-transfer
        location /slow/ { alias $state/docroot/; limit_rate 256k; }
        # a per-connection cap as CDNs impose, for the download benchmark
        location /capped/ { alias $state/docroot/; limit_rate 10m; }
        # a line slow enough that a download can be interrupted half-way
        # with little in flight, for continued downloads
        location /medium/ { alias $state/docroot/; limit_rate 2m; }
        # Continued downloads, end to end: /resume/NAME is docroot/NAME at
        # the /medium/ pace, sent in 64 KiB steps instead of a second's
        # worth at once, so that a client killed half-way has little in
        # flight. A file NAME.no-ranges beside it makes the same URL answer
        # every range with the whole file (200), as a server that stopped
        # honouring ranges between two starts would.
        location ~ ^/resume/(?<resumed>.+)\$ {
            alias $state/docroot/\$resumed;
            limit_rate 2m;
            sendfile_max_chunk 64k;
            if (-f $state/docroot/\$resumed.no-ranges) { rewrite ^ /resume-no-ranges/\$resumed last; }
        }
        location ~ ^/resume-no-ranges/(?<resumed>.+)\$ {
            internal;
            alias $state/docroot/\$resumed;
            limit_rate 2m;
            sendfile_max_chunk 64k;
            max_ranges 0;
        }
        # The same pace from a server that names no version of its files:
        # no ETag, and the empty add_header takes Last-Modified away.
        location /resume-no-validators/ {
            alias $state/docroot/;
            limit_rate 2m;
            sendfile_max_chunk 64k;
            etag off;
            add_header Last-Modified "";
        }
    }
}
CONF
}

case "$action" in
start)
    mkdir -p "$state"
    state="$(cd "$state" && pwd)"
    stop_servers
    mkdir -p "$state/docroot" "$state/logs" "$state/tmp" "$state/faultlog"
    chmod 755 "$state" "$state/docroot"
    started=0
    for _ in 1 2 3; do
        nginx_port="$(free_port)"
        write_nginx_conf "$nginx_port"
        if "$nginx_bin" -p "$state" -e "$state/logs/error.log" -c "$state/nginx.conf" 2>>"$state/logs/start.log" \
            && wait_for_port "$nginx_port"; then
            started=1
            break
        fi
    done
    if [[ $started != 1 ]]; then
        echo "nginx did not start; see $state/logs" >&2
        exit 1
    fi
    fault_port="$(free_port)"
    nohup python3 "$here/fault_server.py" --port "$fault_port" --docroot "$state/docroot" \
        --logdir "$state/faultlog" --lifetime 3600 >"$state/logs/fault.log" 2>&1 &
    echo $! > "$state/fault.pid"
    if ! wait_for_port "$fault_port"; then
        echo "fault server did not start; see $state/logs/fault.log" >&2
        stop_servers
        exit 1
    fi
    printf 'nginx=%s\nfault=%s\n' "$nginx_port" "$fault_port" > "$state/ports.txt"
    echo "nginx on 127.0.0.1:$nginx_port, fault server on 127.0.0.1:$fault_port"
    ;;
stop)
    [[ -d "$state" ]] && stop_servers
    ;;
*)
    echo "unknown action $action" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# End to end: Debian's nginx, started here on a free loopback port with a private
# configuration, serves a version list and a multi-megabyte ZIP archive; `kestrolan-db fetch`
# must deliver both byte for byte, and report a missing file as a failed download.
# Usage: http_fetch_nginx_test.sh KESTROLAN_DB
# Exit status: 0 passed, 1 failed, 77 skipped (no nginx on this machine).
set -euo pipefail

readonly kSkip=77
readonly kStartAttempts=20
readonly kZipPayloadBytes=$((5 * 1024 * 1024 + 123))

tool=$1
nginx_bin=$(command -v nginx || true)
if [ -z "$nginx_bin" ] && [ -x /usr/sbin/nginx ]; then nginx_bin=/usr/sbin/nginx; fi
if [ -z "$nginx_bin" ]; then
  echo "SKIP: nginx is not installed (scripts/install-deps installs nginx-light)"
  exit $kSkip
fi
if ! command -v zip >/dev/null; then
  echo "FAIL: zip is not installed (scripts/install-deps installs it)"
  exit 1
fi

dir=$(mktemp -d)
nginx_pid=
cleanup() {
  if [ -n "$nginx_pid" ] && kill -0 "$nginx_pid" 2>/dev/null; then
    kill "$nginx_pid"
    wait "$nginx_pid" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  [ -f "$dir/nginx.log" ] && sed 's/^/nginx: /' "$dir/nginx.log"
  exit 1
}

port_answers() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The content: a version list and a ZIP archive of random bytes whose name holds a blank.
mkdir -p "$dir/root/software" "$dir/payload"
printf 'Other=v02.00,01/01/2026,other.zip;\r\nKestrolan=v01.02,08/12/2026,kestrolan v0102.zip;\r\n' \
  >"$dir/root/software/lastversions.txt"
head -c "$kZipPayloadBytes" /dev/urandom >"$dir/payload/kestrolan.exe"
head -c 4096 /dev/urandom >"$dir/payload/readme.bin"
(cd "$dir/payload" && zip -q -X "$dir/root/software/kestrolan v0102.zip" kestrolan.exe readme.bin)

# Starts nginx on a random free port; a port taken meanwhile by someone else means another try.
start_nginx() {
  local attempt waited
  for ((attempt = 0; attempt < kStartAttempts; attempt++)); do
    port=$((20000 + RANDOM % 40000))
    port_answers "$port" && continue
    cat >"$dir/nginx.conf" <<CONF
daemon off;
master_process off;
pid $dir/nginx.pid;
error_log stderr;
events {}
http {
  access_log off;
  client_body_temp_path $dir/client_body;
  proxy_temp_path $dir/proxy;
  fastcgi_temp_path $dir/fastcgi;
  uwsgi_temp_path $dir/uwsgi;
  scgi_temp_path $dir/scgi;
  server {
    listen 127.0.0.1:$port;
    root $dir/root;
  }
}
CONF
    "$nginx_bin" -e stderr -c "$dir/nginx.conf" -p "$dir" 2>"$dir/nginx.log" &
    nginx_pid=$!
    for ((waited = 0; waited < 50; waited++)); do
      port_answers "$port" && return 0
      kill -0 "$nginx_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$nginx_pid" 2>/dev/null; then
      fail "nginx did not answer on port $port within 5 s"
    fi
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=
    grep -q 'Address already in use' "$dir/nginx.log" || fail "nginx did not start"
  done
  fail "no free port found in $kStartAttempts attempts"
}

# expect_fetched URL FILE: fetches URL and compares the result with the served FILE.
expect_fetched() {
  local url=$1 served=$2 out="$dir/fetched"
  rm -f "$out"
  "$tool" fetch "$url" --port "$port" -o "$out" || fail "fetch of '$url' exited with $?"
  cmp "$out" "$served" || fail "fetched '$url' differs from the served file"
  echo "ok: $url ($(stat -c %s "$out") bytes)"
}

# expect_failure STATUS MESSAGE ARGS...: the tool exits with STATUS and prints MESSAGE.
expect_failure() {
  local status=$1 message=$2 got=0
  shift 2
  "$tool" fetch "$@" 2>"$dir/stderr" || got=$?
  [ "$got" -eq "$status" ] || fail "'fetch $*' exited with $got, expected $status"
  [ "$(cat "$dir/stderr")" = "$message" ] || fail "'fetch $*' printed '$(cat "$dir/stderr")'"
  echo "ok: fetch $* fails with $status"
}

start_nginx
served_list="$dir/root/software/lastversions.txt"
served_zip="$dir/root/software/kestrolan v0102.zip"
[ "$(stat -c %s "$served_zip")" -gt $((5 * 1024 * 1024)) ] || fail "the archive is too small"

expect_fetched "127.0.0.1/software/lastversions.txt" "$served_list"
expect_fetched "localhost/software/kestrolan v0102.zip" "$served_zip"
expect_fetched "HTTP://localhost/software/kestrolan v0102.zip" "$served_zip"
"$tool" fetch "127.0.0.1/software/lastversions.txt" --port "$port" -o - >"$dir/stdout" ||
  fail "fetch to standard output exited with $?"
cmp "$dir/stdout" "$served_list" || fail "the list fetched to standard output differs"

expect_failure 1 "Download of 127.0.0.1/software/missing.zip failed" \
  "127.0.0.1/software/missing.zip" --port "$port" -o "$dir/missing"
if [ -e "$dir/missing" ]; then fail "a failed fetch left an output file"; fi
expect_failure 1 "Download of localhost:$port/software/lastversions.txt failed" \
  "localhost:$port/software/lastversions.txt" --port "$port" -o "$dir/suffix"
usage="usage: kestrolan-db fetch URL [--port N] -o FILE"
expect_failure 2 "kestrolan-db fetch: -o is required
$usage" "127.0.0.1/software/lastversions.txt" --port "$port"
expect_failure 2 "kestrolan-db fetch: --port: Value 0 not in range 1 to 65535
$usage" "127.0.0.1/software/lastversions.txt" --port 0 -o "$dir/x"
echo "PASS"

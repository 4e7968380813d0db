#!/usr/bin/env bash
# 取网址源码 through velmor-text against a server on 127.0.0.1 started here.
set -euo pipefail
tool=$1
work=$(mktemp -d)
cd "$work"
cat > server.py <<'PY'
import http.server, sys
class Pages(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        bodies = {"/page": b"<p>\xd6\xd0</p>\x00after", "/redirect": None}
        if self.path == "/redirect":
            self.send_response(301); self.send_header("Location", "/page"); self.end_headers(); return
        body = bodies.get(self.path, b"not here")
        self.send_response(200 if self.path in bodies else 404)
        self.send_header("Content-Length", str(len(body))); self.end_headers(); self.wfile.write(body)
    def log_message(self, *args): pass
server = http.server.HTTPServer(("127.0.0.1", 0), Pages)
print(server.server_port, flush=True)
server.serve_forever()
PY
python3 server.py > port.txt &
server=$!
trap 'kill $server; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s port.txt ] && break; sleep 0.1; done
port=$(cat port.txt)
fail() { echo "$*"; exit 1; }

got=$(printf 'old' | "$tool" 取网址源码 "编辑框1=127.0.0.1:$port/redirect" | od -An -tx1 | tr -d ' \n')
[ "$got" = "3c703ed6d03c2f703e" ] || fail "page: $got"
got=$(printf 'old' | "$tool" 取网址源码 "编辑框1=http://127.0.0.1:$port/missing")
[ "$got" = "not here" ] || fail "error page: $got"
got=$(printf 'old' | "$tool" 取网址源码 "编辑框1=httpx://127.0.0.1:$port/page" 2>err.txt)
[ "$got" = "old" ] || fail "failed fetch changed the document: $got"
grep -q "^错误 获取网页失败：" err.txt || fail "no failure message: $(cat err.txt)"

#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual sign on 127.0.0.1:5005 unless a sign
# already listens there, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

program_dir=build/bin
sign_pid=""
if ! (exec 3<>/dev/tcp/127.0.0.1/5005) 2>/dev/null; then
    mkdir -p build/sign-out
    "$program_dir/vantrel-sign" --tcp 127.0.0.1:5005 --out build/sign-out &
    sign_pid=$!
    echo "Virtual sign listening on 127.0.0.1:5005; what it receives goes to build/sign-out/"
fi
stop_sign() { [[ -n "$sign_pid" ]] && kill "$sign_pid" 2>/dev/null || true; }
trap stop_sign EXIT

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting Vantrel on a virtual screen (Xvfb)."
    xvfb-run -a -s "-screen 0 1440x900x24" "$program_dir/vantrel"
else
    "$program_dir/vantrel"
fi

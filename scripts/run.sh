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
    cat <<EOF
No display found: Vantrel now runs on a virtual screen (Xvfb) that nothing shows, so this
terminal waits while it runs. Press Ctrl+C to stop it (and the virtual sign).
Without a screen, $program_dir/vantrel-cli renders and sends pages and packets;
"$program_dir/vantrel-cli --help" lists its commands.
EOF
    xvfb-run -a -s "-screen 0 1440x900x24" "$program_dir/vantrel"
else
    "$program_dir/vantrel"
fi

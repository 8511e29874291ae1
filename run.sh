#!/usr/bin/env bash
# Builds the installer and runs it.
#   ./run.sh                   a demo: server and local folders under demo/, the window opened on them
#                              (without a display: the demo's unattended install, and the chain it left)
#   ./run.sh SERVER=… LOCAL=… [INSTALL=…]   the given run parameters
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target TessarineInstaller -j "$(nproc)"
program=build/installer/TessarineInstaller

if (($#)); then
  exec "$program" "$@"
fi

bash scripts/make-demo.sh demo
server="$PWD/demo/server/"
local="$PWD/demo/local/"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  exec "$program" "SERVER=$server" "LOCAL=$local"
fi

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
echo "No display: installing Stock.exe from $server into $local unattended."
status=0
QT_QPA_PLATFORM=offscreen "$program" "SERVER=$server" "LOCAL=$local" INSTALL=Stock.exe || status=$?
echo
echo "The local folder now holds (newest first; .X01 is the previous version):"
for f in "$local"Stock.exe "$local"Stock.exe.X*; do
  [ -e "$f" ] && printf '  %-16s %s\n' "$(basename "$f")" "$(head -n 1 "$f")"
done
exit "$status"

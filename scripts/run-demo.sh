#!/usr/bin/env bash
# Builds the program, writes the demo hotel into a folder and opens the
# request window there.
#   bash scripts/run-demo.sh              the demo hotel in build/demo-hotel
#   VDX_DEMO_DIR=/some/folder bash ...    the demo hotel there instead
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vdx vdx-demo

demo="${VDX_DEMO_DIR:-$root/build/demo-hotel}"
mkdir -p "$demo"
build/release/bin/vdx-demo "$demo"
echo "Demo hotel written to $demo"

export pclocal="${pclocal:-1}"
# The demo's e-mail sender: turns the preview's hand-off file into a .eml here.
export PATH="$root/tools/recapito:$PATH"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    cat >&2 <<MSG

There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the
request window cannot be shown. Run this script from a desktop session, or
over ssh with X forwarding (ssh -X). The commands without windows work as they are:

    cd "$demo" && pclocal=$pclocal "$root/build/release/bin/vdx" generate
    cd "$demo" && pclocal=$pclocal "$root/build/release/bin/vdx" export-csv

To start the window on a virtual display anyway (nothing is seen; close it with
Ctrl+C):  xvfb-run -a bash scripts/run-demo.sh
MSG
    exit 1
fi

cd "$demo"
exec "$root/build/release/bin/vdx"

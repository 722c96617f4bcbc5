#!/usr/bin/env bash
# Builds the program, writes the demo hotel and opens the request window on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [[ ! -x build/release/bin/vdx ]]; then
    echo "The request window is not built yet: only the tests run for now (bash scripts/test.sh)."
    exit 0
fi
demo="${VDX_DEMO_DIR:-$PWD/build/demo-hotel}"
mkdir -p "$demo"
build/release/bin/vdx-demo "$demo"
cd "$demo"
export pclocal="${pclocal:-1}"
# The demo's e-mail sender: turns the preview's hand-off file into a .eml here.
export PATH="$OLDPWD/tools/recapito:$PATH"
exec "$OLDPWD/build/release/bin/vdx"

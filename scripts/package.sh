#!/usr/bin/env bash
# Builds the Debian package of the program:
#   bash scripts/package.sh     ->  build/release/vardelux_<version>_<arch>.deb
# (release preset; only the installed programs are built, not the tests).
# Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vdx vdx-query
rm -f build/release/vardelux_*.deb
cpack --config build/release/CPackConfig.cmake -B build/release >/dev/null
ls build/release/vardelux_*.deb

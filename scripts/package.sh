#!/usr/bin/env bash
# Builds the Debian package of the program:
#   bash scripts/package.sh     ->  build/release/vardelux_<version>_<arch>.deb
# (release preset; only the installed programs are built, not the tests).
# Prints the package's path on standard output; the build's own output goes to
# standard error, so a caller that keeps only the path still sees a failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >&2
cmake --preset release >/dev/null
cmake --build --preset release --target vdx vdx-query >&2
rm -f build/release/vardelux_*.deb
cpack --config build/release/CPackConfig.cmake -B build/release >/dev/null
ls build/release/vardelux_*.deb

#!/usr/bin/env bash
# Sets up a fresh machine, builds everything, runs every test, then checks the
# house rules (layers, format, function lengths, accents, one reading of pclocal:
# scripts/check-house.sh).
#   bash scripts/test.sh          the dev build (warnings as errors)
#   bash scripts/test.sh asan     the same tests under the address and
#                                 undefined-behaviour sanitizers
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"

bash scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
bash scripts/check-house.sh

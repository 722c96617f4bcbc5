#!/usr/bin/env bash
# A fuzzing campaign on the Access-file reader; not part of the tests or CI.
#   bash scripts/fuzz.sh [SECONDS] [libFuzzer options...]
# Installs clang and libFuzzer when missing (scripts/setup.sh --fuzz), builds
# the fuzz preset (clang, -fsanitize=fuzzer,address) into build/fuzz, writes
# the demo hotel's files (and the genuine samples of ../shared/access-samples,
# when there) as seeds, and runs vdx-fuzz-lettore for SECONDS (600 by
# default). The corpus grows in build/fuzz/corpus and serves the next
# campaign; an input that makes a finding is written to build/fuzz/crash-*
# (or leak-*, oom-*, timeout-*) and can be replayed with
#   build/fuzz/bin/vdx-fuzz-lettore build/fuzz/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."
secondi="${1:-600}"
shift || true

bash scripts/setup.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target vdx-fuzz-lettore vdx-demo

semi=build/fuzz/semi
rm -rf "$semi"
build/fuzz/bin/vdx-demo "$semi" >/dev/null
if [[ -d ../shared/access-samples ]]; then
    cp ../shared/access-samples/*.mdb ../shared/access-samples/*.accdb "$semi"/ 2>/dev/null || true
fi
mkdir -p build/fuzz/corpus

cd build/fuzz
# A second reading after a pause is the reader's answer to damage; the
# campaign reads at once.
exec bin/vdx-fuzz-lettore corpus semi -max_total_time="$secondi" -timeout=30 \
    -rss_limit_mb=2048 "$@"

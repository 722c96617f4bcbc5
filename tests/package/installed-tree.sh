#!/usr/bin/env bash
# `cmake --install` of a build tree into a scratch prefix, then the checks of
# scripts/check-installed.sh on what it put there.
#   bash tests/package/installed-tree.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1
build=$2
version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
bash "$(dirname "$0")/../../scripts/check-installed.sh" "$prefix" "$version"

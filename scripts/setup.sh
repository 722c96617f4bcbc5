#!/usr/bin/env bash
# Installs every Debian package the project needs; safe to run again (it only
# installs what is missing). With --fuzz also clang and its libFuzzer, for
# scripts/fuzz.sh.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config git
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins
    mdbtools mdbtools-dev
    # The spreadsheet export writes its workbook with libxlsxwriter; the
    # tests read the workbook back with unzip.
    libxlsxwriter-dev unzip
    libgtest-dev libgmock-dev
    fonts-liberation fonts-crosextra-carlito fontconfig
    xvfb xauth
    poppler-utils
    cups cups-client cups-bsd printer-driver-cups-pdf libcups2-dev
    python3
    locales
    # The package: building it (dpkg-shlibdeps, file), checking what it
    # installs (desktop entry, metainfo, manual page), and what it depends on
    # at run time (xdg-email and xdg-open, Qt's Italian translations).
    dpkg-dev file desktop-file-utils appstream man-db groff-base
    xdg-utils qt6-translations-l10n
    # The house checks (scripts/check-house.sh): format and function lengths.
    clang-format universal-ctags
)

if [[ "${1:-}" == "--fuzz" ]]; then
    packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The report tests compare amounts under an Italian and an English locale.
for loc in it_IT en_US; do
    if ! locale -a 2>/dev/null | grep -qix "${loc}.utf-\?8"; then
        $SUDO localedef -i "$loc" -f UTF-8 "${loc}.UTF-8"
    fi
done

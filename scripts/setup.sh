#!/usr/bin/env bash
# Installs every Debian package the project needs; safe to run again (it only
# installs what is missing). With --fuzz also clang and its libFuzzer, for
# scripts/fuzz.sh. When another install holds the package manager (apt,
# dpkg, the system's automatic updates), it waits for it, saying so, up to
# five minutes.
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
    # at run time (xdg-email and xdg-open, Qt's Italian translations, Qt's SVG
    # plugins for the window's icon).
    dpkg-dev file desktop-file-utils appstream man-db groff-base
    xdg-utils qt6-translations-l10n libqt6svg6
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

# The package manager's locks, and who holds one now ("" when nobody does):
# the process named in /proc/locks on the inode of one of the lock files.
# /proc/locks is readable by every user, whoever holds the lock.
lock_files=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock
    /var/cache/apt/archives/lock)
lock_holder() {
    local file inode pid
    for file in "${lock_files[@]}"; do
        inode=$(stat -c %i "$file" 2>/dev/null) || continue
        pid=$(awk -v inode="$inode" '{ split($6, id, ":"); if (id[3] == inode) { print $5; exit } }' \
            /proc/locks 2>/dev/null)
        if [[ -n $pid ]]; then
            echo "$pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo '?'))"
            return
        fi
    done
}

# Waits while another install holds the package manager, up to five minutes.
lock_wait=300
wait_for_package_manager() {
    local holder waited=0
    while holder=$(lock_holder) && [[ -n $holder ]]; do
        if ((waited == 0)); then
            echo "Another install is running (process $holder holds the package manager's lock):" \
                "waiting for it to end, up to $((lock_wait / 60)) minutes..."
        elif ((waited >= lock_wait)); then
            echo "The package manager is still busy after $((lock_wait / 60)) minutes" \
                "(process $holder); run this script again when it is done." >&2
            exit 1
        fi
        sleep 5
        waited=$((waited + 5))
    done
    if ((waited > 0)); then
        echo "The other install has ended after ${waited} s."
    fi
}

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # apt itself also waits for a lock taken between the check and its start.
    apt_lock=(-o "DPkg::Lock::Timeout=$lock_wait")
    wait_for_package_manager
    $SUDO apt-get "${apt_lock[@]}" update -qq
    wait_for_package_manager
    $SUDO apt-get "${apt_lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The report tests compare amounts under an Italian and an English locale.
for loc in it_IT en_US; do
    if ! locale -a 2>/dev/null | grep -qix "${loc}.utf-\?8"; then
        $SUDO localedef -i "$loc" -f UTF-8 "${loc}.UTF-8"
    fi
done

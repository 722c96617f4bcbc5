#!/usr/bin/env bash
# Builds the .deb (scripts/package.sh), installs it and checks it:
#   - its Depends: the libraries the programs link, found by dpkg-shlibdeps,
#     and the packages used without linking them; no build-time package;
#   - the installed tree (scripts/check-installed.sh on /usr);
#   - the installed `vdx generate` writes the report in a demo hotel folder,
#     `vdx export-xlsx` turns it into a workbook, and the installed Recapito
#     hands a page on.
# As root the package is installed with apt-get (so its Depends must resolve)
# and removed again at the end; otherwise it is unpacked into a scratch root.
#   bash scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD

deb=$(bash scripts/package.sh | tail -n 1)
deb=$root_dir/$deb
echo "check-package: $deb"
cmake --build --preset release --target vdx-demo >/dev/null
version=$(dpkg-deb -f "$deb" Version)

scratch=$(mktemp -d)
installed=
cleanup() {
    if [[ -n $installed ]]; then
        apt-get remove -y -qq vardelux >/dev/null || echo "check-package: could not remove vardelux" >&2
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

faults=0
fault() {
    echo "check-package: $*"
    faults=$((faults + 1))
}

# Depends.
depends=$(dpkg-deb -f "$deb" Depends)
declare -A listed=()
IFS=',' read -ra entries <<<"$depends"
for entry in "${entries[@]}"; do
    name=${entry#"${entry%%[! ]*}"}
    listed[${name%% *}]=1
done
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libmdb3 libcups2 \
    libxlsxwriter4 libstdc++6 libc6 fonts-liberation fonts-crosextra-carlito xdg-utils qt6-translations-l10n \
    libqt6svg6; do
    [[ -n ${listed[$needed]:-} ]] || fault "Depends lacks $needed: $depends"
done
for name in "${!listed[@]}"; do
    [[ $name != *-dev ]] || fault "Depends names a build-time package, $name"
done

# Install.
if [[ $(id -u) -eq 0 && -z ${VDX_PACKAGE_UNPACK:-} ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends --reinstall --allow-downgrades "$deb" >/dev/null
    installed=1
    prefix=/usr
    vdx=$(command -v vdx)
    [[ $vdx == /usr/bin/vdx ]] || fault "vdx on PATH is $vdx, not the installed one"
else
    dpkg-deb -x "$deb" "$scratch/root"
    prefix=$scratch/root/usr
    vdx=$prefix/bin/vdx
fi
# The package's own files, relative to /usr.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub("^\\./usr/", "", $NF); print $NF }' >"$scratch/files"
bash scripts/check-installed.sh "$prefix" "$version" "$scratch/files" || faults=$((faults + 1))

# The installed program says its version, and works headless on a demo hotel.
[[ $("$vdx" --version) == "vdx $version" ]] || fault "vdx --version is not \"vdx $version\""
demo=$scratch/albergo
build/release/bin/vdx-demo "$demo" >/dev/null
if ! out=$(cd "$demo" && env -u DISPLAY -u WAYLAND_DISPLAY pclocal=1 "$vdx" generate 2>&1); then
    fault "vdx generate failed: $out"
elif [[ ! -s $demo/FD1 ]]; then
    fault "vdx generate wrote no FD1: $out"
elif ! out=$(cd "$demo" && pclocal=1 "$vdx" export-xlsx 2>&1); then
    fault "vdx export-xlsx failed: $out"
elif [[ $(head -c 2 "$demo/fd1.xlsx") != PK ]]; then
    fault "vdx export-xlsx wrote no workbook: $out"
fi
# The installed sender, found on PATH as the preview finds it, handing the
# page to a stand-in for xdg-email that keeps its arguments.
mkdir -p "$scratch/posta"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s/argomenti"\n' "$scratch/posta" >"$scratch/posta/xdg-email"
chmod +x "$scratch/posta/xdg-email"
printf 'OGGETTO\r\n|101   | Rossi|\r\n' >"$demo/e-mail1.txt"
if ! out=$(cd "$demo" && PATH="$scratch/posta:$prefix/bin:$PATH" pclocal=1 Recapito 2>&1); then
    fault "Recapito failed: $out"
elif ! grep -q '^Tableau del ' "$scratch/posta/argomenti" 2>/dev/null; then
    fault "Recapito did not hand the page to xdg-email: $out"
fi

if ((faults > 0)); then
    echo "check-package: $faults fault(s)" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") builds, installs and works"

#!/usr/bin/env bash
# Checks an installed tree of the program, under PREFIX (/usr for the
# package, a scratch folder for the test of `cmake --install`):
#   - the files installed are these and only these (none of the test and
#     demo tools), the programs executable;
#   - the desktop entry passes desktop-file-validate, starts an installed
#     program with an installed icon, and names in StartupWMClass the window
#     class vdx sets (its application name, Vardelux), so that taskbars match
#     the window with the entry;
#   - the metainfo passes appstreamcli validate without errors or warnings and
#     names the release VERSION;
#   - the manual pages (vdx, vdx-query, Recapito) render with man -l without
#     a warning.
#
#   bash scripts/check-installed.sh PREFIX VERSION [LIST]
# LIST names the files installed, one a line relative to PREFIX (those of the
# package, when PREFIX holds other files too); by default, every file there.
# Prints each fault and exits 1 when there is one.
set -uo pipefail
if (($# < 2 || $# > 3)); then
    echo "usage: bash scripts/check-installed.sh PREFIX VERSION [LIST]" >&2
    exit 2
fi
prefix=$1
version=$2
list=${3:-}
id=it.vardelux.Vardelux
faults=0
fault() {
    echo "check-installed: $*"
    faults=$((faults + 1))
}

expected="bin/Recapito
bin/vdx
bin/vdx-query
share/applications/$id.desktop
share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/Recapito.1.gz
share/man/man1/vdx-query.1.gz
share/man/man1/vdx.1.gz
share/metainfo/$id.metainfo.xml"
if [[ -n $list ]]; then
    installed=$(LC_ALL=C sort "$list")
    while IFS= read -r file; do
        [[ -e $prefix/$file ]] || fault "$file is listed as installed but is not under $prefix"
    done <"$list"
else
    installed=$(cd "$prefix" && find bin share \( -type f -o -type l \) 2>/dev/null | LC_ALL=C sort)
fi
if [[ $installed != "$expected" ]]; then
    fault "the files under $prefix differ from those expected (< expected, > installed):"
    diff <(echo "$expected") <(echo "$installed") | grep '^[<>]'
fi
for program in vdx vdx-query Recapito; do
    [[ -x $prefix/bin/$program ]] || fault "bin/$program is not executable"
done

desktop=$prefix/share/applications/$id.desktop
if ! command -v desktop-file-validate >/dev/null; then
    fault "desktop-file-validate is missing (bash scripts/setup.sh installs desktop-file-utils)"
elif ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $out ]]; then
    fault "desktop-file-validate: $out"
fi
exec_line=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $prefix/bin/$exec_line ]] || fault "the desktop entry starts \"$exec_line\", not an installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
    fault "the desktop entry's icon \"$icon\" is not installed"
class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ $class == Vardelux ]] ||
    fault "the desktop entry's StartupWMClass is \"$class\", not the window class Vardelux"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
if ! command -v appstreamcli >/dev/null; then
    fault "appstreamcli is missing (bash scripts/setup.sh installs appstream)"
elif ! out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || grep -q '^[EW]:' <<<"$out"; then
    fault "appstreamcli validate: $out"
fi
grep -q "<release version=\"$version\"" "$metainfo" ||
    fault "the metainfo does not name the release $version"

if ! command -v man >/dev/null; then
    fault "man is missing (bash scripts/setup.sh installs man-db)"
else
    for name in vdx vdx-query Recapito; do
        page=$prefix/share/man/man1/$name.1.gz
        if ! warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
            [[ -n $warnings ]]; then
            fault "man -l $page: $warnings"
        elif ! LC_ALL=C.UTF-8 man -E UTF-8 -l "$page" 2>/dev/null | grep -q "Vardelux $version"; then
            fault "the manual page $name(1) does not name the version $version"
        fi
    done
fi

if ((faults > 0)); then
    echo "check-installed: $faults fault(s) under $prefix" >&2
    exit 1
fi
echo "check-installed: $prefix as it should be"

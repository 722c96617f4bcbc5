#!/usr/bin/env bash
# The house rules a build cannot see, checked on the sources:
#   1. folders depend one way: a file of src/ includes only its own folder
#      and the folders before it in LAYERS; a file outside a ui/ folder
#      includes no window header (ui/, Qt Widgets, Qt PrintSupport);
#   2. every C++ file is formatted as .clang-format says;
#   3. no function in src/ or tools/ reaches 100 lines;
#   4. Italian is written with its accents in every text a user meets (the
#      programs, the tools, the manual pages, the sender): è, c'è, può, più,
#      già, né, lì, never e', c'e', puo', piu', gia', ne', li';
#   5. the workstation (pclocal) is read from the environment in one place,
#      the program's start (src/app/main.cpp); everything else is given it.
#   6. the data library shows one face: outside src/jet only its public
#      headers (JET_PUBBLICI) are included, and they include no other;
#   7. a name in backticks in a comment of a C++ file is a name of that
#      file's code (a parameter, a member, a function it declares or calls).
# Prints each breach and exits 1 when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."

# From the ground up: each folder may use the ones before it. The build
# writes the order once (VDX_STRATI) and gives each library only its own
# include path; this check reads the same list.
read -ra LAYERS <<<"$(sed -n 's/^set(VDX_STRATI \(.*\))$/\1/p' cmake/CommonSettings.cmake)"
if ((${#LAYERS[@]} < 2)); then
    echo "check-house: no layer order (set(VDX_STRATI ...)) in cmake/CommonSettings.cmake" >&2
    exit 1
fi
rank() {
    local i
    for i in "${!LAYERS[@]}"; do
        [[ ${LAYERS[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

breaches=0
breach() {
    echo "$1"
    breaches=$((breaches + 1))
}

# 1. Layers.
while IFS= read -r file; do
    folder=${file#src/}
    folder=${folder%%/*}
    own=$(rank "$folder")
    if ((own < 0)); then
        breach "$file: the folder src/$folder is not in the layer order (scripts/check-house.sh)"
        continue
    fi
    window=0
    # The program itself puts the windows together.
    [[ $file == */ui/* || $file == src/app/main.cpp ]] && window=1
    while IFS= read -r line; do
        target=$(sed -n 's/^#include "\([a-z]*\)\/.*/\1/p' <<<"$line")
        if [[ -n $target ]]; then
            other=$(rank "$target")
            if ((other < 0 || other > own)); then
                breach "$file: includes src/$target, which src/$folder must not use: $line"
            fi
            if ((window == 0)) && [[ $line == *"/ui/"* ]]; then
                breach "$file: a core file includes a window: $line"
            fi
        elif ((window == 0)) && [[ $folder != app ]] &&
            grep -Eq '^#include <(QtWidgets|QtPrintSupport|Q(Widget|Dialog|Application|Printer|PrintDialog|Label|ComboBox|LineEdit|PushButton|ToolButton|CheckBox|TextEdit|MessageBox))[>/]' <<<"$line"; then
            breach "$file: a core file includes a window header: $line"
        fi
    done < <(grep -E '^#include' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h')

# 2. Format.
if command -v clang-format >/dev/null; then
    while IFS= read -r file; do
        if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
            breach "$file: differs from .clang-format (cmake --build --preset dev --target format)"
        fi
    done < <(git ls-files '*.cpp' '*.h')
else
    breach "clang-format is not installed (bash scripts/setup.sh installs it)"
fi

# 3. Function length.
if command -v ctags >/dev/null; then
    while read -r lines name where; do
        breach "$where: $name is $lines lines long; split it into named steps (under 100)"
    done < <(ctags -x --c++-kinds=f --fields=+ne --_xformat="%N %F %n %e" -R src tools |
        awk '$4 != "" && $4 - $3 + 1 >= 100 { print $4 - $3 + 1, $1, $2 ":" $3 }')
else
    breach "ctags is not installed (bash scripts/setup.sh installs universal-ctags)"
fi

# 4. Accents. An apostrophe after e, c'e, puo, piu, gia, ne or li that starts
# a word (after a blank, a quote or a bracket) and ends it.
while IFS= read -r hit; do
    breach "$hit: an accent written as an apostrophe (è, c'è, può, più, già, né, lì)"
done < <(git grep -nE "(^|[ \"(])(e|E|c'e|puo|piu|gia|ne|li)'([^[:alpha:]']|$)" -- src tools packaging scripts bench fuzz ':!scripts/check-house.sh')

# 5. One reading of pclocal: PostazioneDaAmbiente() is called by main.cpp
# (and its own test) alone, and nothing else looks the variable up.
while IFS= read -r hit; do
    breach "$hit: pclocal is read once, by src/app/main.cpp; take the workstation as a parameter"
done < <(git grep -niE 'PostazioneDaAmbiente\(|(getenv|VariabileAmbiente)\("pclocal"' -- \
    src tools bench fuzz tests ':!src/shared/Ambiente.h' ':!src/shared/Ambiente.cpp' \
    ':!src/app/main.cpp' ':!tests/shared/AmbienteTest.cpp')

# 6. The public headers of src/jet; the rest of it is the reader's own. Its
# tests, its fuzzing target and the writer of Access files (which shares the
# reader's rule of names) see inside.
JET_PUBBLICI=(Database.h Valore.h Criteri.h EsportaCsv.h FileLeggibile.h)
JET_DENTRO=(src/jet/ tests/jet/ fuzz/ tools/scrittore/)
pubblico() {
    local h
    for h in "${JET_PUBBLICI[@]}"; do
        [[ $h == "$1" ]] && return 0
    done
    return 1
}
while IFS= read -r file; do
    dentro=0
    for d in "${JET_DENTRO[@]}"; do
        [[ $file == "$d"* ]] && dentro=1
    done
    # A public header is read outside too.
    [[ $file == src/jet/* ]] && pubblico "${file#src/jet/}" && dentro=0
    ((dentro == 1)) && continue
    while IFS= read -r header; do
        if ! pubblico "$header"; then
            breach "$file: includes jet/$header, which is not one of the public headers of src/jet (${JET_PUBBLICI[*]})"
        fi
    done < <(sed -n 's/^#include "jet\/\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')

# 7. Names in comments. Each `name` (or `Tipo::Metodo()`) in a // comment
# must be a word of the file outside its comments; texts in backticks that
# are not a name ("vdx generate", "FD<pclocal>") are left alone.
while IFS= read -r hit; do
    breach "$hit: names nothing of its file; write the name the code uses"
done < <(git ls-files 'src/*.h' 'src/*.cpp' 'tools/*.h' 'tools/*.cpp' 'tests/*.h' 'tests/*.cpp' \
    'bench/*.h' 'bench/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp' | python3 -c '
import re, sys
nome = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*(::~?[A-Za-z_][A-Za-z0-9_]*)*(\(\))?$")
for file in sys.stdin.read().split():
    codice, commenti = [], []
    with open(file, encoding="utf-8", errors="replace") as f:
        for numero, riga in enumerate(f, 1):
            m = re.search(r"//(.*)$", riga)
            # A // inside a string literal is code.
            if m and riga[: m.start()].count(chr(34)) % 2 == 0:
                commenti.append((numero, m.group(1)))
                riga = riga[: m.start()]
            codice.append(riga)
    parole = set(re.findall(r"[A-Za-z_][A-Za-z0-9_]*", "".join(codice)))
    for numero, testo in commenti:
        for t in re.findall(r"`([^`]+)`", testo):
            if nome.match(t) and any(p not in parole for p in re.split(r"::~?|\(\)", t) if p):
                print(f"{file}:{numero}: `{t}`")
')

if ((breaches > 0)); then
    echo "check-house: $breaches breach(es) of the house rules" >&2
    exit 1
fi
echo "check-house: layers, format, function lengths, accents, the reading of pclocal, the data library's public headers and the names in comments as they should be"

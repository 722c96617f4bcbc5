#!/usr/bin/env bash
# The Linux e-mail sender (packaging/Recapito), run as the preview runs it: in
# the folder of the hand-off file, with pclocal set and no arguments.
#   1. xdg-email there: it gets the subject and the page in UTF-8, and nothing
#      is written;
#   2. xdg-email failing: the message goes into a .eml beside the hand-off file;
#   3. xdg-email missing: the same, with a subject that is not OGGETTO.
#   bash tests/package/recapito.sh PATH/TO/Recapito
set -uo pipefail
recapito=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The hand-off file as the preview writes it: code page 1252, CR LF. The page
# holds the euro sign and an accented letter, whose bytes differ from UTF-8's.
pagina=$'|101   | Rossi \x80 \xe8|\r\n|102   |\r\n'
atteso_corpo=$'|101   | Rossi \xe2\x82\xac \xc3\xa8|\n|102   |'

# A fake xdg-email that records its arguments (NUL-separated) and exits with
# the status given.
fake_bin() {
    local dir=$1 status=$2
    mkdir -p "$dir"
    cat >"$dir/xdg-email" <<FAKE
#!/bin/sh
for a in "\$@"; do printf '%s\0' "\$a"; done >"$dir/argomenti"
exit $status
FAKE
    chmod +x "$dir/xdg-email"
}

# 1. The mail program gets the message; the hand-off file's name in another
# letter case is found all the same.
cartella=$scratch/posta
mkdir -p "$cartella"
printf 'OGGETTO\r\n%s' "$pagina" >"$cartella/E-Mail4.TXT"
fake_bin "$scratch/bin-ok" 0
out=$(cd "$cartella" && PATH="$scratch/bin-ok:$PATH" pclocal=4 RECAPITO_A=ricevimento@example.it "$recapito")
status=$?
((status == 0)) || fail "with xdg-email: exit status $status"
if [[ -f $scratch/bin-ok/argomenti ]]; then
    mapfile -d '' argomenti <"$scratch/bin-ok/argomenti"
    [[ ${#argomenti[@]} -eq 6 && ${argomenti[0]} == --utf8 && ${argomenti[1]} == --subject &&
        ${argomenti[3]} == --body && ${argomenti[5]} == ricevimento@example.it ]] ||
        fail "xdg-email got: ${argomenti[*]}"
    [[ ${argomenti[2]} =~ ^Tableau\ del\ [0-3][0-9]/[01][0-9]/20[0-9][0-9]\ [0-2][0-9]:[0-5][0-9]$ ]] ||
        fail "subject: '${argomenti[2]}'"
    [[ ${argomenti[4]} == "$atteso_corpo" ]] || fail "body: '${argomenti[4]}'"
else
    fail "xdg-email was not called"
fi
[[ $out == *"programma di posta"* ]] || fail "with xdg-email, stdout: '$out'"
[[ $(ls "$cartella") == E-Mail4.TXT ]] || fail "with xdg-email, the folder holds: $(ls "$cartella")"

# Where the message is written instead: one .eml beside the hand-off file, and
# nothing else.
controlla_eml() {
    local caso=$1 cartella=$2 out=$3 status=$4
    oggetto=
    ((status == 0)) || fail "$caso: exit status $status"
    local eml
    eml=$(cd "$cartella" && ls -- *.eml 2>/dev/null)
    if [[ $(find "$cartella" -mindepth 1 | wc -l) -ne 2 || ! $eml =~ ^e-mail4-[0-9]{8}-[0-9]{6}\.eml$ ]]; then
        fail "$caso: the folder holds: $(ls "$cartella")"
        return
    fi
    [[ $out == *"$cartella/$eml"* ]] || fail "$caso: stdout does not name the .eml: '$out'"
    local messaggio
    messaggio=$(<"$cartella/$eml")
    [[ $messaggio == *$'Content-Type: text/plain; charset="utf-8"\n'* ]] ||
        fail "$caso: no UTF-8 text part in $messaggio"
    [[ $messaggio == *$'\n\n'"$atteso_corpo" ]] || fail "$caso: the page is not the body: $messaggio"
    [[ $messaggio != *OGGETTO* ]] || fail "$caso: the OGGETTO line is in the message"
    oggetto=$(sed -n 's/^Subject: //p' "$cartella/$eml")
}

# 2. xdg-email fails (no mail program for it to open).
cartella=$scratch/fallisce
mkdir -p "$cartella"
printf 'OGGETTO\r\n%s' "$pagina" >"$cartella/e-mail4.txt"
fake_bin "$scratch/bin-ko" 3
out=$(cd "$cartella" && PATH="$scratch/bin-ko:$PATH" pclocal=4 "$recapito")
controlla_eml "xdg-email failing" "$cartella" "$out" $?
[[ $oggetto =~ ^Tableau\ del\ [0-3][0-9]/[01][0-9]/20[0-9][0-9]\ [0-2][0-9]:[0-5][0-9]$ ]] ||
    fail "xdg-email failing: subject '$oggetto'"

# 3. No xdg-email at all: a search path of the tools the sender uses, and no
# other. A first line other than OGGETTO is the subject as it stands,
# encoded for a mail header ("Arrivi – Città", an en dash and an accent).
cartella=$scratch/manca
mkdir -p "$cartella" "$scratch/strumenti"
for tool in env sed head iconv tr date grep base64 mv rm; do
    ln -s "$(command -v "$tool")" "$scratch/strumenti/$tool"
done
printf 'Arrivi \x96 Citt\xe0\r\n%s' "$pagina" >"$cartella/e-mail4.txt"
out=$(cd "$cartella" && PATH="$scratch/strumenti" pclocal=4 "$recapito")
controlla_eml "xdg-email missing" "$cartella" "$out" $?
if [[ $oggetto =~ ^=\?UTF-8\?B\?(.*)\?=$ ]]; then
    decodificato=$(base64 -d <<<"${BASH_REMATCH[1]}")
    [[ $decodificato == $'Arrivi \xe2\x80\x93 Citt\xc3\xa0' ]] ||
        fail "xdg-email missing: subject '$decodificato'"
else
    fail "xdg-email missing: subject not encoded: '$oggetto'"
fi

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "Recapito: 3 cases passed"

#!/usr/bin/env bash
# Starts a private print server for the printing tests, beside any system one:
# its own configuration, spool and socket under one folder, two queues:
#   VDX-PDF     the cups-pdf driver (one-sided only)
#   VDX-DUPLEX  a printer that can print on both sides, writing to /dev/null
#   VDX-RIFIUTA a printer that refuses every job
# Job files are kept in the spool folder (c<job> attributes, d<job>-001 data)
# so a test can read what the server received.
#
#   bash scripts/cups-test-setup.sh [folder]     (default /tmp/vdx-cups)
#
# Prints the server's socket (to use as CUPS_SERVER) on success. Safe to run
# again: a server already answering on that socket is left as it is.
set -euo pipefail

dir="${1:-${VDX_CUPS_DIR:-/tmp/vdx-cups}}"
sock="$dir/cups.sock"

if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null; then
    echo "cups-test-setup: cupsd or lpadmin is not installed" >&2
    exit 2
fi

if [[ -S "$sock" ]] && lpstat -h "$sock" -p VDX-PDF >/dev/null 2>&1 \
   && lpstat -h "$sock" -p VDX-DUPLEX >/dev/null 2>&1 \
   && lpstat -h "$sock" -p VDX-RIFIUTA >/dev/null 2>&1; then
    echo "$sock"
    exit 0
fi

# A previous server of ours that no longer answers: end it by its own pid.
if [[ -f "$dir/cupsd.pid" ]]; then
    old=$(cat "$dir/cupsd.pid" 2>/dev/null || true)
    # Only if that pid is still our cupsd (a pid can be reused after a restart).
    if [[ -n "$old" ]] && tr '\0' ' ' <"/proc/$old/cmdline" 2>/dev/null | grep -qF "$dir/conf/cupsd.conf"; then
        kill "$old" 2>/dev/null || true
        sleep 1
    fi
fi

# The folder is wiped and rebuilt, so it must be ours (or new, or empty).
if [[ -d "$dir" && -n "$(ls -A "$dir")" && ! -f "$dir/conf/cupsd.conf" ]]; then
    echo "cups-test-setup: $dir holds other files; give an empty or new folder" >&2
    exit 2
fi
rm -rf "$dir"
mkdir -p "$dir"/{conf/ppd,conf/ssl,spool/tmp,cache,state/certs,log}
chmod 755 "$dir" "$dir/conf" "$dir/spool" "$dir/cache" "$dir/state" "$dir/log"
chmod 1777 "$dir/spool/tmp"

# The server runs its filters and backends as an unprivileged user; as root
# that is the print system's own "lp".
if [[ $(id -u) -eq 0 ]]; then
    user=lp
    group=lp
else
    user=$(id -un)
    group=$(id -gn)
fi

cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
FileDevice Yes
User $user
Group $group
SystemGroup root lpadmin
Sandboxing Relaxed
EOF

cat >"$dir/conf/cupsd.conf" <<EOF
LogLevel info
Listen $sock
Browsing No
DefaultAuthType None
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
chmod 644 "$dir/conf/cupsd.conf" "$dir/conf/cups-files.conf"

# In the foreground of its own session, so its pid is ours to keep.
setsid cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
    >"$dir/log/cupsd.out" 2>&1 </dev/null &
echo $! >"$dir/cupsd.pid"
# A setup that fails part-way leaves no server behind.
trap 'kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true' ERR

for _ in $(seq 50); do
    [[ -S "$sock" ]] && lpstat -h "$sock" -r >/dev/null 2>&1 && break
    sleep 0.2
done
if ! lpstat -h "$sock" -r >/dev/null 2>&1; then
    echo "cups-test-setup: the print server did not start; see $dir/log/error_log" >&2
    exit 1
fi

# The duplex printer: the PDF driver's description with a two-sided option.
ppd_pdf=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
ppd_duplex="$dir/duplex.ppd"
if [[ ! -f "$ppd_pdf" ]]; then
    echo "cups-test-setup: $ppd_pdf missing (printer-driver-cups-pdf)" >&2
    exit 1
fi
sed -e 's/^\*NickName:.*/*NickName: "VDX duplex test printer"/' \
    -e 's/^\*ModelName:.*/*ModelName: "VDX duplex test printer"/' \
    -e 's/^\*ShortNickName:.*/*ShortNickName: "VDX duplex"/' \
    "$ppd_pdf" >"$ppd_duplex"
cat >>"$ppd_duplex" <<'EOF'
*OpenUI *Duplex/Double-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*Duplex DuplexTumble/Short Edge: "<</Duplex true/Tumble true>>setpagedevice"
*CloseUI: *Duplex
EOF

# The PDF driver's own backend runs only under a server started as root;
# otherwise the queue keeps the driver and writes to /dev/null.
if ! lpadmin -h "$sock" -p VDX-PDF -E -v cups-pdf:/ -P "$ppd_pdf" 2>/dev/null; then
    echo "cups-test-setup: no cups-pdf backend for this user; VDX-PDF writes to /dev/null" >&2
    lpadmin -h "$sock" -p VDX-PDF -E -v file:///dev/null -P "$ppd_pdf"
fi
lpadmin -h "$sock" -p VDX-DUPLEX -E -v file:///dev/null -P "$ppd_duplex"
lpadmin -h "$sock" -p VDX-RIFIUTA -E -v file:///dev/null -P "$ppd_pdf"
cupsreject -h "$sock" -r "Stampante fuori servizio" VDX-RIFIUTA
lpadmin -h "$sock" -d VDX-PDF

echo "$sock"

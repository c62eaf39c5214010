#!/usr/bin/env bash
# Prints the report through a real print service: a private cupsd on loopback
# with a PDF queue as its default printer. Checks that the job completed under
# the report's title and that the queue wrote a PDF holding the report's pages.
#
#   print_service_test.sh <print_service_client>
#
# Needs root (cupsd and the PDF backend run privileged); otherwise exits 77,
# which ctest reports as skipped.
set -uo pipefail

client=${1:?usage: print_service_test.sh <print_service_client>}
title="Food Correlation data, Quorvane Program Output"
queue=QuorvanePDF

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: starting a print service needs root"
    exit 77
fi

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${work:-}" ] && [ -f "$work/log/error_log" ]; then
        echo "--- print service log (last lines) ---" >&2
        tail -n 30 "$work/log/error_log" >&2
    fi
    exit 1
}

for tool in cupsd lpadmin lpstat pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || fail "$tool not found (scripts/install-deps installs it)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || fail "the cups-pdf backend is missing (printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || fail "the cups-pdf PPD $ppd is missing"

# A port nothing listens on.
free_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 20000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

work=$(mktemp -d /tmp/quorvane-print-service.XXXXXX) || fail "cannot make a temporary folder"
cupsd_pid=""
written_pdf=""
pdf_dir_made=""
cleanup() {
    if [ -n "$cupsd_pid" ] && kill -0 "$cupsd_pid" 2>/dev/null; then
        kill -TERM "$cupsd_pid" 2>/dev/null
        for _ in $(seq 1 50); do
            kill -0 "$cupsd_pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -KILL "$cupsd_pid" 2>/dev/null
        wait "$cupsd_pid" 2>/dev/null
    fi
    [ -n "$written_pdf" ] && rm -f "$written_pdf"
    # cups-pdf makes the owner's PDF folder on its first job; leave no trace of it.
    [ -n "$pdf_dir_made" ] && rmdir "$pdf_dir_made" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The scheduler drops to lp for filters, which must reach the spool.
chmod 755 "$work"
mkdir -p "$work/etc" "$work/spool/tmp" "$work/cache" "$work/state" "$work/log"
port=$(free_port) || fail "no free local port"
cat >"$work/etc/cupsd.conf" <<CONF
LogLevel info
Listen 127.0.0.1:$port
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
PageLogFormat %p %j %P %C "%{job-name}"
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$work/etc/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
Printcap $work/printcap
CONF

cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER="127.0.0.1:$port"

running=no
for _ in $(seq 1 100); do
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd stopped at start: $(cat "$work/log/cupsd.out")"
    if lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
        running=yes
        break
    fi
    sleep 0.2
done
[ "$running" = yes ] || fail "cupsd did not answer on 127.0.0.1:$port within 20 s"

lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>"$work/log/lpadmin.err" ||
    fail "lpadmin could not add the PDF queue: $(cat "$work/log/lpadmin.err")"
lpadmin -d "$queue" || fail "lpadmin could not make $queue the default"
lpstat -d | grep -q "destination: $queue" || fail "$queue is not the default: $(lpstat -d)"

# A report long enough for several pages. Its lines differ in their number of
# words, so a line lost, repeated or out of order shows in the printout.
report="$work/report.txt"
{
    echo "Quorvane Environmental Art Printout"
    for i in $(seq -w 1 150); do
        printf ' %s HEADACHE\t006.0  COFFEE' "$i"
        for _ in $(seq 1 $((10#$i % 7))); do printf ' bread'; done
        printf '\n'
    done
} >"$report"
owner_home=$(getent passwd "$(id -un)" | cut -d: -f6)
[ -d "$owner_home/PDF" ] || pdf_dir_made="$owner_home/PDF"
touch "$work/started"

QT_QPA_PLATFORM=offscreen timeout 120 "$client" "$report" report >"$work/client.out" 2>"$work/client.err"
status=$?
[ "$status" -eq 0 ] || fail "the program's print path failed ($status): $(cat "$work/client.out" "$work/client.err")"
grep -q "^$queue\$" "$work/client.out" || fail "printed on $(cat "$work/client.out"), not on $queue"
grep -q "print dialog asked for printer $queue" "$work/client.err" ||
    fail "the print dialog did not open on $queue: $(cat "$work/client.err")"

# The job under its title, completed.
job=""
for _ in $(seq 1 300); do
    job=$(lpstat -W completed -o "$queue" 2>/dev/null | awk 'NR == 1 { print $1 }')
    [ -n "$job" ] && break
    sleep 0.2
done
[ -n "$job" ] || fail "no job completed within 60 s; jobs: $(lpstat -W all -o; lpstat -p -l "$queue")"
[ "$(lpstat -W completed -o "$queue" | wc -l)" -eq 1 ] || fail "more than one job: $(lpstat -W completed -o)"
# The service's page log holds the job's title and page total.
logged_pages=$(grep -F "\"$title\"" "$work/log/page_log" 2>/dev/null | awk '$3 == "total" { print $4 }')
[ -n "$logged_pages" ] ||
    fail "the service logged no job under \"$title\": $(cat "$work/log/page_log" 2>/dev/null)"

# The queue's PDF, named after the job title, in the job owner's PDF folder.
for _ in $(seq 1 50); do
    written_pdf=$(find "$owner_home/PDF" /var/spool/cups-pdf -name '*.pdf' -newer "$work/started" 2>/dev/null | head -n 1)
    [ -n "$written_pdf" ] && break
    sleep 0.2
done
[ -n "$written_pdf" ] || fail "cups-pdf wrote no PDF in $owner_home/PDF or /var/spool/cups-pdf"
echo "the queue wrote $written_pdf"
case "$(basename "$written_pdf")" in
    Food_Correlation_data*Quorvane_Program_Output*.pdf) ;;
    *) fail "the PDF is not named after the job title: $written_pdf" ;;
esac

pages=$(pdfinfo "$written_pdf" | awk '/^Pages:/ { print $2 }')
[ -n "$pages" ] && [ "$pages" -ge 2 ] || fail "expected several pages, pdfinfo says ${pages:-nothing}"
[ "$pages" -eq "$logged_pages" ] || fail "the PDF has $pages pages, the service logged $logged_pages"
pdf_title=$(pdfinfo "$written_pdf" | sed -n 's/^Title:[[:space:]]*//p' | tr -d '()')
[ "$pdf_title" = "$title" ] || fail "the PDF's title is \"$pdf_title\""

# The queue re-renders the fonts without their character map, so the letters
# do not survive the trip back to text; the words and lines do. Every report
# line must be there, in order, with its number of words.
words_per_line() { awk 'NF > 0 { print NF }'; }
pdftotext -layout "$written_pdf" - | tr -d '\f' | words_per_line >"$work/printed.shape"
tr '\t' ' ' <"$report" | words_per_line >"$work/expected.shape"
diff "$work/expected.shape" "$work/printed.shape" >"$work/shape.diff" ||
    fail "the printed lines differ from the report (words per line): $(head -n 20 "$work/shape.diff")"

# The text keeps at least 12 mm (34 pt) from the paper's left and right edges.
# The queue's re-rendered fonts make word heights unreliable; the widths hold.
read -r page_width leftmost rightmost < <(pdftotext -bbox "$written_pdf" - | awk -F'"' '
    /<page / { width = $2 }
    /<word / { if (left == "" || $2 < left) left = $2; if ($6 > right) right = $6 }
    END { print width, left, right }')
awk -v l="$leftmost" -v r="$rightmost" -v w="$page_width" \
    'BEGIN { exit !(l != "" && l >= 34.0 && r <= w - 34.0) }' ||
    fail "the text comes within 12 mm of the paper's edge: x $leftmost to $rightmost of $page_width"

echo "PASS: job $job completed under \"$title\", $pages pages"

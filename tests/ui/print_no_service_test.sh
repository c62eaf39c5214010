#!/usr/bin/env bash
# With no print service answering there is no default printer: the program's
# print path raises its error before any dialog and prints nothing.
#
#   print_no_service_test.sh <print_service_client>
set -uo pipefail

client=${1:?usage: print_no_service_test.sh <print_service_client>}
expected="There is no default printer currently selected"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A local port nothing listens on stands for a print service that is not running.
port=""
for _ in $(seq 1 50); do
    candidate=$((20000 + RANDOM % 20000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
        port=$candidate
        break
    fi
done
[ -n "$port" ] || fail "no closed local port found"

work=$(mktemp -d /tmp/quorvane-no-service.XXXXXX) || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT
printf 'Monday\ncoffee, bread\n' >"$work/diary.txt"

# A private home, so no personal printer choice of whoever runs the tests counts.
HOME="$work" CUPS_SERVER="127.0.0.1:$port" QT_QPA_PLATFORM=offscreen \
    timeout 120 "$client" "$work/diary.txt" record >"$work/out" 2>"$work/err"
status=$?

[ "$status" -eq 3 ] || fail "expected the program's error (exit 3), got $status: $(cat "$work/out" "$work/err")"
[ "$(cat "$work/out")" = "$expected" ] || fail "wrong message: $(cat "$work/out")"
if grep -q "print dialog asked" "$work/err"; then
    fail "the print dialog was asked although there is no printer"
fi
echo "PASS: \"$expected\", no dialog"

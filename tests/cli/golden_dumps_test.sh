#!/usr/bin/env bash
# The report and every dump, on the example diary and on the generated 10-year
# diary, byte for byte as the program has always written them; the item dump of a
# diary holding the sentinels' names.
#   golden_dumps_test.sh REPORT_BINARY GENERATOR GOLDEN_DIR EXAMPLE
set -euo pipefail
report=$1 generator=$2 golden=$3 example=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for dump in report grid sorted items evidence; do
    "$report" "$example" --dump "$dump" > "$work/example.$dump"
    if ! cmp -s "$work/example.$dump" "$golden/example.$dump"; then
        echo "example diary, --dump $dump differs:" >&2
        diff "$golden/example.$dump" "$work/example.$dump" | head -20 >&2 || true
        status=1
    fi
done
# The sentinels' own lines: "AAA" counts and totals like an item, "AAAA" is an
# ordinary item, and "ZZZ", "ZZZZ" and "A" are never listed.
"$report" "$golden/sentinels.txt" --dump items > "$work/sentinels.items"
if ! cmp -s "$work/sentinels.items" "$golden/sentinels.items"; then
    echo "sentinels diary, --dump items differs:" >&2
    diff "$golden/sentinels.items" "$work/sentinels.items" >&2 || true
    status=1
fi
"$generator" "$work/diary.txt" 1 > /dev/null
for dump in report grid sorted items evidence; do
    "$report" "$work/diary.txt" --dump "$dump" > "$work/bench.$dump"
done
if ! (cd "$work" && sha256sum --check --quiet "$golden/bench-diary.sha256"); then
    echo "the 10-year diary or one of its dumps differs" >&2
    status=1
fi
exit "$status"

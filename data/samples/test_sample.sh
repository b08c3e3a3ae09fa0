#!/bin/sh
# Checks the sample project on a copy: it schedules without a message, passes
# the integrity check, holds what it is meant to show (63 dated activities,
# relations of all four kinds), and the public holidays reach the dates.
#   test_sample.sh KVCLI SAMPLE.kvp
set -eu
kvcli=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$sample" "$work/s.kvp"

fail() {
  echo "sample: $*" >&2
  exit 1
}

out=$("$kvcli" schedule "$work/s.kvp" 2>/dev/null) || fail "schedule reported: $out"
[ "$(printf '%s\n' "$out" | tail -n 1)" = "완료되었습니다." ] || fail "schedule said: $out"
"$kvcli" check "$work/s.kvp" || fail "integrity check"

"$kvcli" dump "$work/s.kvp" act >"$work/act.csv"
"$kvcli" dump "$work/s.kvp" rel >"$work/rel.csv"
"$kvcli" dump "$work/s.kvp" opr >"$work/opr.csv"
[ "$(tail -n +2 "$work/act.csv" | wc -l)" -eq 63 ] || fail "activity count"
# Every activity has an early start and an early finish.
awk -F, 'NR > 1 && ($7 == "" || $8 == "") { print $1; bad = 1 } END { exit bad }' \
  "$work/act.csv" || fail "undated activities"
kinds=$(awk -F, 'NR > 1 { print $3 }' "$work/rel.csv" | sort -u | tr '\n' ' ')
[ "$kinds" = "FF FS SF SS " ] || fail "relation kinds: $kinds"
[ "$(tail -n +2 "$work/opr.csv" | wc -l)" -gt 0 ] || fail "no crew details"

# The third floor's frame follows the second floor's pour (30 May) after
# three working days: 1 and 2 June, then 4 June, as 31 May is a Sunday and
# 3 June the local elections.
grep -q '^A1140,[^,]*,9,9,26-06-05,' "$work/act.csv" || fail "holidays not in the dates"
echo "sample schedules"

#!/bin/sh
# Builds the sample project of a small building from the CSV files beside
# this script, through kvcli only:
#   make_sample.sh KVCLI OUT.kvp
# The project: a neighbourhood commercial building with one basement and four
# storeys, 2026, two classifications, two calendars with the public holidays
# of Korea in 2026, resources, crews, 63 activities with 85 relations of all
# four kinds, and crew details; scheduled at the end.
set -eu

kvcli=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
tmp="$out.tmp.kvp"
rm -f "$tmp"

"$kvcli" new "$tmp" --code KV-2601 --name "근린생활시설 신축공사 (지하 1층, 지상 4층)" \
  --start 26-03-03 --finish 26-12-31 --data-date 26-03-03 >/dev/null

"$kvcli" classes "$tmp" work 1:대공종 2:중공종 2:세공종
"$kvcli" classes "$tmp" facility 1:구역 2:층

# 2026 public holidays: New Year, Seollal (16-18 Feb), Independence Movement
# Day (1 Mar, a Sunday, observed on 2 Mar), Children's Day, Buddha's Birthday
# (24 May, a Sunday, observed on 25 May), the local elections (3 Jun),
# Memorial Day, Liberation Day (15 Aug, a Saturday, observed on 17 Aug),
# Chuseok (24-26 Sep), National Foundation Day (3 Oct, a Saturday, observed
# on 5 Oct), Hangul Day and Christmas.
holidays="26-01-01 26-02-16 26-02-17 26-02-18 26-03-01 26-03-02 26-05-05 26-05-24 26-05-25
26-06-03 26-06-06 26-08-15 26-08-17 26-09-24 26-09-25 26-09-26 26-10-03 26-10-05 26-10-09
26-12-25"
set --
for d in $holidays; do set -- "$@" --holiday "$d"; done
# Calendar 1: the site works six days a week; calendar 2: the office five.
"$kvcli" calendar "$tmp" 1 --from 26-01-01 --to 27-12-31 --off sun "$@" >/dev/null
"$kvcli" calendar "$tmp" 2 --from 26-01-01 --to 27-12-31 --off sat,sun "$@" >/dev/null

for table in wbs obs res crw act rel opr; do
  "$kvcli" load "$tmp" "$table" "$here/$table.csv" >/dev/null
done

if ! "$kvcli" schedule "$tmp" >"$tmp.log" 2>&1; then
  cat "$tmp.log" >&2
  rm -f "$tmp.log"
  exit 1
fi
rm -f "$tmp.log"
"$kvcli" check "$tmp" >/dev/null
mv -f "$tmp" "$out"

#!/bin/sh
# The distribution end to end: makes it from the build tree, installs it with
# xDeploy's batch mode into scratch folders, runs the installed kvcli on the
# installed sample, removes it again; then damaged media (a cut archive, a
# Setup.inf naming ../ paths, a missing disk) are refused with the
# installer's messages and leave nothing outside the target.
#   dist_test.sh BUILD_DIR PACKAGING_DIR NUBPACK PROGRAM_DIR
set -eu
build=$1
packaging=$2
nubpack=$3
program_dir=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "dist: $*" >&2
  exit 1
}

cmake -DBUILD="$build" -DSOURCE="$packaging" -DNUBPACK="$nubpack" -DPROGRAM_DIR="$program_dir" \
  -DOUT="$work/dist" \
  -P "$packaging/make_dist.cmake" >/dev/null || fail "make_dist"
for f in xDeploy libxNubPack.so Setup.inf KELVO.NUB SAMPLES.NUB FORM.NUB; do
  [ -f "$work/dist/$f" ] || fail "missing $f"
done
"$nubpack" t "$work/dist/KELVO.NUB" >/dev/null || fail "KELVO.NUB does not check out"
# The script is CP949, as the installer reads it.
iconv -f CP949 -t UTF-8 "$work/dist/Setup.inf" | grep -q "^Title=Kelvo 2000 설치" ||
  fail "Setup.inf title"

# Every write lands in these scratch folders.
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
export KELVO_SYSTEM_DIR="$work/system"
mkdir -p "$HOME"
target="$work/target"
out=$("$work/dist/xDeploy" --batch --target "$target" 2>&1) || fail "install: $out"
[ "$out" = "xDeploy: 설치가 완료되었습니다." ] || fail "install said: $out"

readelf -d "$target/Kelvo" | grep -q 'RUNPATH.*\[\$ORIGIN\]' || fail "Kelvo's RUNPATH"
[ -x "$target/kvcli" ] && [ ! -x "$target/Kelvo.ref" ] || fail "file modes"
[ -f "$target/Form/Default.p13" ] && [ -f "$target/Form/Default.p01" ] || fail "Default format files"
cp "$target/samples/small_building.kvp" "$work/s.kvp"
"$target/kvcli" info "$work/s.kvp" | grep -q "^code: KV-2601" || fail "kvcli info"
sched=$("$target/kvcli" schedule "$work/s.kvp" 2>/dev/null | tail -n 1)
[ "$sched" = "완료되었습니다." ] || fail "kvcli schedule: $sched"
"$target/kvcli" converters | grep -q "^dbf	.*$target/xKvDbf.so" || fail "converter registration"

entry="$XDG_DATA_HOME/applications/jorsoft-kelvo-2000-1.desktop"
grep -qx "Exec=\"$target/Kelvo\" %f" "$entry" || fail "desktop entry Exec"
grep -qx "MimeType=application/x-kelvo-project;" "$entry" || fail "desktop entry MimeType"
[ -f "$XDG_DATA_HOME/mime/packages/jorsoft-kelvo-2000.xml" ] || fail "MIME package"
if command -v update-mime-database >/dev/null; then
  grep -q "x-kelvo-project" "$XDG_DATA_HOME/mime/globs2" || fail "MIME database not updated"
fi

"$work/dist/xDeploy" --remove "$target" || fail "remove"
[ ! -e "$target" ] || fail "left in the target: $(find "$target")"
left=$(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/menus" -type f ! -path "*/mime/*" ! -name "*.cache")
[ -z "$left" ] || fail "left behind: $left"
[ ! -e "$XDG_DATA_HOME/mime/packages/jorsoft-kelvo-2000.xml" ] || fail "MIME package left"

# Damaged media: each case runs on a fresh copy with fresh user folders.
damaged() {
  rm -rf "$work/media" "$work/t" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$work/outside"
  mkdir -p "$HOME" "$work/outside"
  cp -r "$work/dist" "$work/media"
}
refused() {
  name=$1
  expected=$2
  if out=$("$work/media/xDeploy" --batch --target "$work/t" 2>&1); then
    fail "$name: installed"
  fi
  printf '%s\n' "$out" | grep -q "^xDeploy: $expected" || fail "$name said: $out"
  [ -z "$(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$KELVO_SYSTEM_DIR" "$work/outside" \
        -type f 2>/dev/null)" ] || fail "$name wrote outside the target"
  [ -z "$(find "$work/t" -name '.xDeploy-*')" ] || fail "$name left a temporary file"
}
script_with() {  # inserts lines after [Files]
  iconv -f CP949 -t UTF-8 "$work/dist/Setup.inf" |
    awk -v add="$1" '{ print } /^\[Files\]/ { print add }' |
    iconv -f UTF-8 -t CP949 >"$work/media/Setup.inf"
}

damaged
size=$(stat -c %s "$work/media/KELVO.NUB")
truncate -s $((size - 100)) "$work/media/KELVO.NUB"
refused "cut archive" "설치하고자 하는 디스크에 잘 못이 있습니다."
[ -z "$(find "$work/t" -type f ! -name Setup.lst)" ] || fail "cut archive: files installed"

damaged
echo secret >"$work/secret"
script_with "../secret	.	NY
Setup.inf	../outside/x	NY"
refused "../ paths" "설치가 완전하게 이루어지지 않았습니다."
[ ! -e "$work/t/secret" ] || fail "../ source copied"

damaged
script_with "Disk=Kelvo 2
CheckFile=DISK2.TAG"
refused "missing disk" "올바른 디스크를 넣으시오."

damaged
printf '\377\376[Files]\n' >"$work/media/Setup.inf"
refused "broken Setup.inf" "설치하고자 하는 디스크에 잘 못이 있습니다."
[ ! -e "$work/t" ] || fail "broken Setup.inf: target made"
echo "dist: ok"

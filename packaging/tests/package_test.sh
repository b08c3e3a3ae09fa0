#!/bin/sh
# The Debian package: made with CPack from the build tree, its contents and
# control fields checked with dpkg-deb, installed into and removed from a
# scratch root with dpkg, and the programs run from an unpacked copy (so the
# RUNPATH and the one-folder layout work).
#   package_test.sh BUILD_DIR PROGRAM_DIR
set -eu
build=$1
lib=./usr/$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package: $*" >&2
  exit 1
}

command -v dpkg-deb >/dev/null || { echo "package: dpkg-deb missing, skipped"; exit 0; }
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/kelvo_*.deb)

dpkg-deb -c "$deb" | awk '{ line = $1; for (i = 6; i <= NF; ++i) line = line " " $i; print line }' >"$work/contents"
has() {
  grep -qx -- "$1" "$work/contents" || fail "not in the package: $1"
}
has "-rwxr-xr-x $lib/Kelvo"
has "-rwxr-xr-x $lib/kvcli"
has "-rw-r--r-- $lib/libxJorDbm2.so"
has "-rw-r--r-- $lib/xKvXls.so"
has "-rw-r--r-- $lib/Kelvo.ref"
has "-rw-r--r-- $lib/samples/small_building.kvp"
has "lrwxrwxrwx ./usr/bin/kelvo -> ../$2/Kelvo"
has "lrwxrwxrwx ./usr/bin/kvcli -> ../$2/kvcli"
has "-rw-r--r-- ./usr/share/applications/kelvo.desktop"
has "-rw-r--r-- ./usr/share/mime/packages/kelvo.xml"
has "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/kelvo.svg"
# Neither the installer nor anything of the build tree.
! grep -q "xDeploy\|libxNubPack\|nubpack\|mkref\|_tests\|xKvTest" "$work/contents" ||
  fail "build-only files packaged"

dpkg-deb -f "$deb" Package Depends >"$work/control"
grep -qx "Package: kelvo" "$work/control" || fail "package name"
for dep in libqt6widgets6 libqt6printsupport6 libxlsxwriter libzip4 fonts-nanum-coding libc6; do
  grep -q "^Depends:.*$dep" "$work/control" || fail "no dependency on $dep: $(cat "$work/control")"
done

# No maintainer scripts: private libraries need no ldconfig.
dpkg-deb -e "$deb" "$work/control.d"
[ "$(ls "$work/control.d")" = "$(printf 'control\nmd5sums')" ] || fail "maintainer scripts: $(ls "$work/control.d")"

# Installs and removes cleanly (a scratch dpkg database; dependencies are the
# real system's business).
admin="$work/dpkg"
mkdir -p "$admin/info" "$admin/updates" "$work/sysroot"
touch "$admin/status" "$admin/available"
dpkg_root() {
  dpkg --force-not-root --force-depends --force-script-chrootless --root="$work/sysroot" \
    --admindir="$admin" --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg $*"; }
}
dpkg_root -i "$deb"
[ -x "$work/sysroot/usr/$2/Kelvo" ] || fail "dpkg -i installed no Kelvo"
dpkg_root -r kelvo
[ -z "$(find "$work/sysroot" -type f -o -type l)" ] || fail "dpkg -r left: $(find "$work/sysroot" -type f -o -type l)"

dpkg-deb -x "$deb" "$work/root"
! readelf -d "$work/root/usr/$2/Kelvo" | grep -q "$build" || fail "build path in RUNPATH"
cp "$work/root/usr/$2/samples/small_building.kvp" "$work/s.kvp"
"$work/root/usr/bin/kvcli" info "$work/s.kvp" | grep -q "^code: KV-2601" || fail "kvcli from the package"
echo "package: ok"

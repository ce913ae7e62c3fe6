#!/usr/bin/env bash
# Makes the DEB of a Linux build tree and checks it: lintian finds no error, it holds the
# program and its man page, and the program unpacked from it into a scratch root does its job
# on the demo prefix.
#
#   check_deb.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)

cmake --build "$build" --target package >/dev/null
deb=$(ls "$build"/qvhelp-remove_*.deb)
failed=0
fail() {
  echo "$deb: $*"
  failed=1
}

lintian --allow-root "$deb" | tee "$build/lintian.log"
if grep -q '^E:' "$build/lintian.log"; then fail "lintian reports errors"; fi

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/qvhelp-remove ./usr/share/man/man1/qvhelp-remove.1.gz \
  ./usr/share/doc/qvhelp-remove/copyright; do
  grep -q " $path\$" <<<"$contents" || fail "holds no $path"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
"$here/../scripts/make-demo-prefix.sh" "$scratch/prefix"
status=0
WINEPREFIX="$scratch/prefix" "$scratch/root/usr/bin/qvhelp-remove" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status on the demo prefix"
if grep -q 'Quorvane' "$scratch/prefix/drive_c/BDS/Help/Common/bds3.HxT"; then
  fail "the demo catalogue still holds the entry"
fi
if [ -n "$(ls -A "$scratch/prefix/drive_c/Program Files/Borland/BDS/3.0/Help/ThirdParty")" ]; then
  fail "the demo help files are still there"
fi
exit "$failed"

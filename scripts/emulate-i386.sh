#!/usr/bin/env bash
# Runs a command in a user namespace of its own where the kernel hands 32-bit x86 programs to
# qemu-i386, so that 32-bit Wine and the 32-bit Windows program run on a kernel that cannot run
# such code. The registration lives in the namespace's own binfmt_misc (Linux 6.7 and later):
# nothing outside it changes.
#
#   emulate-i386.sh COMMAND [ARG...]   runs COMMAND there; status 77 when it cannot be done
#   emulate-i386.sh --check            says in one line why it cannot be done, status 1; else 0
set -euo pipefail

qemu=$(cd "$(dirname "$0")/.." && pwd)/build/tools/qemu-user/usr/bin/qemu-i386
cannot_status=77

# The ELF header of an i386 executable or shared object, and which of its bits matter.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

why_not() {
  if [ ! -x "$qemu" ]; then
    echo "no $qemu (scripts/fetch-qemu.sh fetches it)"
  elif [ ! -x /usr/lib/wine/wine ]; then
    echo "no 32-bit Wine (/usr/lib/wine/wine, Debian's wine32:i386)"
  elif ! unshare --user --map-root-user --mount --propagation private true 2>/dev/null; then
    echo "this machine does not let a user namespace be made (unshare --user failed)"
  elif ! unshare --user --map-root-user --mount --propagation private \
    sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null; then
    echo "binfmt_misc cannot be mounted in a user namespace (Linux $(uname -r); 6.7 or later can)"
  fi
}

if [ "${1-}" = --check ]; then
  reason=$(why_not)
  [ -z "$reason" ] && exit 0
  echo "$reason"
  exit 1
fi

if [ -z "${QVHELP_IN_I386_NAMESPACE-}" ]; then
  reason=$(why_not)
  if [ -n "$reason" ]; then
    echo "32-bit programs cannot be run here: $reason" >&2
    exit $cannot_status
  fi
  exec env QVHELP_IN_I386_NAMESPACE=1 \
    unshare --user --map-root-user --mount --propagation private -- "$0" "$@"
fi

if [ ! -e /proc/sys/fs/binfmt_misc/qvhelp-i386 ]; then
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf ':qvhelp-i386:M::%s:%s:%s:FOC' "$magic" "$mask" "$qemu" >/proc/sys/fs/binfmt_misc/register
fi
exec "$@"

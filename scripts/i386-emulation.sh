#!/usr/bin/env bash
# Makes 32-bit Linux programs runnable, which Wine's 32-bit loader is. Kernels
# built without 32-bit support answer "Exec format error"; there qemu's
# user-mode emulator runs them instead, registered with binfmt_misc. It has to
# be qemu 8 or newer: 7.2 mishandles the address-space reservations Wine makes
# at start and needs about 50 s of CPU for every Wine process it starts.
# Does nothing where 32-bit programs already run. Needs root otherwise.
set -euo pipefail

LOADER=/usr/lib/wine/wine
QEMU=/usr/bin/qemu-i386-static
ENTRY=/proc/sys/fs/binfmt_misc/qemu-i386

runs_i386() { "$LOADER" --version >/dev/null 2>&1; }

[ -x "$LOADER" ] || exit 0
runs_i386 && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "i386-emulation: 32-bit programs do not run here; run this script as root" >&2
    exit 1
fi

qemu_major() { "$QEMU" --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p'; }

if [ ! -x "$QEMU" ] || [ "$(qemu_major)" -lt 8 ]; then
    export DEBIAN_FRONTEND=noninteractive
    . /etc/os-release
    release=()
    # Debian 12 has qemu 7.2; its backports suite has a newer one, fetched
    # from where this machine already fetches Debian 12 in Debian's archive.
    # Adding that source updates APT's lists, or leaves the sources as they
    # were when the backports suite's own lists cannot be fetched.
    . "$(dirname "$0")/apt-lists.sh"
    if [ "${VERSION_CODENAME:-}" = bookworm ]; then
        bash "$(dirname "$0")/backports-source.sh" --add bookworm
        release=(-t bookworm-backports)
    else
        apt_update
    fi
    echo "i386-emulation: installing qemu-user-static ${release[*]}"
    apt_install "${release[@]}" qemu-user-static
fi

mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# An entry left by an older qemu keeps that binary open (flag F): replace it.
[ -e "$ENTRY" ] && echo -1 >"$ENTRY"
# i386 ELF executables and shared objects (e_type 2 or 3, e_machine 3).
magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-i386:M::$magic:$mask:$QEMU:F" >/proc/sys/fs/binfmt_misc/register

runs_i386 || { echo "i386-emulation: 32-bit programs still do not run" >&2; exit 1; }
echo "i386-emulation: 32-bit programs run through $QEMU"

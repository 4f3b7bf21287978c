#!/usr/bin/env bash
# Makes 32-bit Linux programs runnable, which Wine's 32-bit loader is. Kernels
# built without 32-bit support answer "Exec format error"; there qemu's
# user-mode emulator runs them instead, registered with binfmt_misc. It has to
# be qemu 8 or newer: 7.2 mishandles the address-space reservations Wine makes
# at start and needs about 50 s of CPU for every Wine process it starts.
# Does nothing where 32-bit programs already run. Needs root otherwise.
#   scripts/i386-emulation.sh            makes them runnable
#   scripts/i386-emulation.sh --dry-run  prints, a line each with its reason,
#                                        what it would change; changes nothing
# The 32-bit program tried is Wine's loader once Wine is installed, before
# that a minimal one made here that only exits. The tests name another with
# MARROWICK_I386_PROGRAM, and another os-release file, for the release's
# codename, with MARROWICK_OS_RELEASE.
set -euo pipefail

LOADER=/usr/lib/wine/wine
QEMU=/usr/bin/qemu-i386-static
ENTRY=/proc/sys/fs/binfmt_misc/qemu-i386
OS_RELEASE=${MARROWICK_OS_RELEASE:-/etc/os-release}

dry_run=0
[ "${1:-}" != --dry-run ] || dry_run=1

# An i386 ELF executable of one program header whose code is exit(0):
# xor ebx,ebx; xor eax,eax; inc eax; int 0x80.
MINIMAL_I386_PROGRAM='\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0'
MINIMAL_I386_PROGRAM+='\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0'
MINIMAL_I386_PROGRAM+='\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\133\0\0\0\133\0\0\0\5\0\0\0\0\20\0\0'
MINIMAL_I386_PROGRAM+='\61\333\61\300\100\315\200'

runs_minimal_program() {
    local program status=0
    program=$(mktemp)
    printf "$MINIMAL_I386_PROGRAM" >"$program"
    chmod +x "$program"
    "$program" 2>/dev/null || status=$?
    rm -f "$program"
    return $status
}

runs_i386() {
    if [ -n "${MARROWICK_I386_PROGRAM:-}" ]; then
        "$MARROWICK_I386_PROGRAM" >/dev/null 2>&1
    elif [ -x "$LOADER" ]; then
        "$LOADER" --version >/dev/null 2>&1
    else
        runs_minimal_program
    fi
}

# qemu 8 or newer installed, as dpkg has it: "install ok installed" and the
# major number of a version such as "1:8.2.2+ds-0ubuntu1", its epoch left out.
has_qemu_8() {
    local status
    status=$(dpkg-query -W -f='${Status} ${Version}' qemu-user-static 2>/dev/null) || return 1
    [[ $status == *" ok installed "* ]] || return 1
    status=${status##* }
    status=${status#*:}
    [ "${status%%[!0-9]*}" -ge 8 ] 2>/dev/null
}

# Debian 12 has qemu 7.2; its backports suite has a newer one.
is_bookworm() {
    local VERSION_CODENAME=
    . "$OS_RELEASE"
    [ "$VERSION_CODENAME" = bookworm ]
}

# Whether the machine has an enabled bookworm-backports source already: the
# backports entry is then printed as nothing.
has_backports_source() {
    local entry
    entry=$(bash "$(dirname "$0")/backports-source.sh" bookworm 2>/dev/null) && [ -z "$entry" ]
}

print_changes() {
    local why="this kernel cannot run 32-bit programs, which Wine's loader is"
    if ! has_qemu_8; then
        if ! is_bookworm; then
            echo "i386-emulation: would install qemu-user-static: $why"
        else
            has_backports_source || echo "i386-emulation: would add the APT source" \
                "bookworm-backports: Debian 12's own qemu, 7.2, cannot start Wine"
            echo "i386-emulation: would install qemu-user-static from bookworm-backports: $why"
        fi
    fi
    echo "i386-emulation: would register $QEMU for 32-bit programs with binfmt_misc: $why"
}

install_qemu() {
    local release=()
    export DEBIAN_FRONTEND=noninteractive
    # Fetched from where this machine already fetches Debian 12 in Debian's
    # archive. Adding that source updates APT's lists, or leaves the sources
    # as they were when the backports suite's own lists cannot be fetched.
    . "$(dirname "$0")/apt-lists.sh"
    if is_bookworm; then
        bash "$(dirname "$0")/backports-source.sh" --add bookworm
        release=(-t bookworm-backports)
    else
        apt_update
    fi
    echo "i386-emulation: installing qemu-user-static ${release[*]}"
    apt_install "${release[@]}" qemu-user-static
}

register_qemu() {
    mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    # An entry left by an older qemu keeps that binary open (flag F): replace it.
    [ -e "$ENTRY" ] && echo -1 >"$ENTRY"
    # i386 ELF executables and shared objects (e_type 2 or 3, e_machine 3).
    local magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$QEMU:F" >/proc/sys/fs/binfmt_misc/register
}

if [ $dry_run -eq 1 ]; then
    runs_i386 || print_changes
    exit 0
fi

runs_i386 && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "i386-emulation: 32-bit programs do not run here; run this script as root" >&2
    exit 1
fi
has_qemu_8 || install_qemu
register_qemu
runs_i386 || { echo "i386-emulation: 32-bit programs still do not run" >&2; exit 1; }
echo "i386-emulation: 32-bit programs run through $QEMU"

#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need, and
# nothing when they are all there already. Safe to run again and again.
#   scripts/install-deps.sh            installs what is missing (as root)
#   scripts/install-deps.sh --dry-run  prints what it would install, installs
#                                      nothing and needs no root
# A package counts as there only when dpkg has it installed: a command of the
# same name on the PATH may come from elsewhere (a `convert` that is not
# ImageMagick's), and then the package's own files would be missing.
set -euo pipefail

PACKAGES=(
    cmake g++ make
    libgtest-dev libgmock-dev libbenchmark-dev
    # libFuzzer and the sanitizer runtimes for clang; only recommended by clang.
    clang libclang-rt-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    # Wine with both halves: the shell is a 32-bit program, its prefix and the
    # 64-bit tray program need the 64-bit one.
    wine wine32:i386 wine64
    xvfb xauth imagemagick zip unzip
    # xrandr and xprop: the monitors and work areas of the screen of two
    # monitors that the placement's end-to-end tests run on.
    x11-xserver-utils x11-utils
)

dry_run=0
case "${1:-}" in
    "") ;;
    --dry-run) dry_run=1 ;;
    *) echo "usage: $0 [--dry-run]" >&2; exit 2 ;;
esac

# "install ok installed", or "hold ok installed" for a held package; the
# statuses of several architectures' instances come one after another.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q ' ok installed'; }

need=()
for package in "${PACKAGES[@]}"; do
    installed "$package" || need+=("$package")
done

if [ $dry_run -eq 1 ]; then
    if [ ${#need[@]} -eq 0 ]; then
        echo "install-deps: nothing to install"
    else
        echo "install-deps: would install ${need[*]}"
    fi
    exit 0
fi

# Wine's loader is a 32-bit program; some kernels need an emulator for it.
emulation="$(dirname "$0")/i386-emulation.sh"
[ ${#need[@]} -eq 0 ] && exec bash "$emulation"

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing ${need[*]}; run this script as root" >&2
    exit 1
fi
echo "install-deps: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
. "$(dirname "$0")/apt-lists.sh"
apt_update
apt_install "${need[@]}"
exec bash "$emulation"

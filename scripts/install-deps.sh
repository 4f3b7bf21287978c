#!/usr/bin/env bash
# Installs the Debian packages that the make targets given need, and nothing
# when they are all there already. Safe to run again and again.
#   scripts/install-deps.sh [TARGET...]            installs what is missing (as root)
#   scripts/install-deps.sh --dry-run [TARGET...]  prints, a line each with its
#                                                  reason, every change it would
#                                                  make; changes nothing, needs
#                                                  no root
# The release's targets (dll, dist, all, clean) need the i686 cross compiler,
# CMake, make, zip and unzip alone; every other target, and no target at
# all, needs the whole bench: Wine, the native and the sanitizer toolchains,
# Xvfb, ImageMagick. Arguments that are no target (VAR=VALUE, -j4) are passed
# over, so ./run hands this script make's own arguments.
# A package counts as there only when dpkg has it installed: a command of the
# same name on the PATH may come from elsewhere (a `convert` that is not
# ImageMagick's), and then the package's own files would be missing.
set -euo pipefail

RELEASE_PACKAGES=(cmake make g++-mingw-w64-i686 zip unzip)
BENCH_PACKAGES=(
    g++
    libgtest-dev libgmock-dev libbenchmark-dev
    # libFuzzer and the sanitizer runtimes for clang; only recommended by clang.
    clang libclang-rt-dev
    g++-mingw-w64-x86-64
    # Wine with both halves: the shell is a 32-bit program, its prefix and the
    # 64-bit tray program need the 64-bit one.
    wine wine32:i386 wine64
    xvfb xauth imagemagick
    # xrandr and xprop: the monitors and work areas of the screen of two
    # monitors that the placement's end-to-end tests run on.
    x11-xserver-utils x11-utils
)

dry_run=0
if [ "${1:-}" = --dry-run ]; then
    dry_run=1
    shift
fi

# Whether the make target needs no more than the release's packages.
is_release_target() {
    case $1 in
        dll | dist | all | clean) return 0 ;;
        *) return 1 ;;
    esac
}

targets=()
for argument in "$@"; do
    case $argument in
        -* | *=*) ;;
        *) targets+=("$argument") ;;
    esac
done
# Every target but the release's, and no target at all, takes the bench.
needs_wine=0
[ ${#targets[@]} -gt 0 ] || needs_wine=1
for target in "${targets[@]}"; do
    is_release_target "$target" || needs_wine=1
done
packages=("${RELEASE_PACKAGES[@]}")
[ $needs_wine -eq 0 ] || packages+=("${BENCH_PACKAGES[@]}")

# Elsewhere than on Debian there are no Debian packages to install: make
# goes on with the tools the machine has.
if ! command -v dpkg-query >/dev/null; then
    echo "install-deps: no dpkg here; what the Debian packages ${packages[*]} hold must be installed by hand" >&2
    exit 0
fi

# "install ok installed", or "hold ok installed" for a held package; the
# statuses of several architectures' instances come one after another.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q ' ok installed'; }

need=()
for package in "${packages[@]}"; do
    installed "$package" || need+=("$package")
done

# Wine's 32-bit half is an i386 package.
adds_i386=0
if [ $needs_wine -eq 1 ] && [ ${#need[@]} -gt 0 ] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    adds_i386=1
fi

# Wine's loader is a 32-bit program; some kernels need an emulator for it.
emulation="$(dirname "$0")/i386-emulation.sh"

if [ $dry_run -eq 1 ]; then
    for_what="for ${targets[*]:-every target}"
    [ ${#need[@]} -eq 0 ] || echo "install-deps: would install ${need[*]}: needed $for_what and not installed"
    [ $adds_i386 -eq 0 ] || echo "install-deps: would add the architecture i386 to dpkg: Wine's 32-bit half"
    changes=$( [ $needs_wine -eq 0 ] || bash "$emulation" --dry-run)
    [ -z "$changes" ] || echo "$changes"
    if [ ${#need[@]} -eq 0 ] && [ -z "$changes" ]; then
        echo "install-deps: nothing to install or change $for_what"
    fi
    exit 0
fi

if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: missing ${need[*]}; run this script as root" >&2
        exit 1
    fi
    echo "install-deps: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    [ $adds_i386 -eq 0 ] || dpkg --add-architecture i386
    . "$(dirname "$0")/apt-lists.sh"
    apt_update
    apt_install "${need[@]}"
fi
[ $needs_wine -eq 0 ] || exec bash "$emulation"

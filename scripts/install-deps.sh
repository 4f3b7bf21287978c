#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, and nothing when it is
# all there already. Safe to run again and again.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd make || need+=(make)
have_pkg libgtest-dev || need+=(libgtest-dev)
have_pkg libgmock-dev || need+=(libgmock-dev)
have_pkg libbenchmark-dev || need+=(libbenchmark-dev)
have_cmd clang++ || need+=(clang)
# libFuzzer and the sanitizer runtimes for clang; only recommended by clang.
have_pkg libclang-rt-dev || need+=(libclang-rt-dev)
have_cmd i686-w64-mingw32-g++ || need+=(g++-mingw-w64-i686)
have_pkg wine || need+=(wine)
have_pkg wine32:i386 || need+=(wine32:i386)
have_cmd Xvfb || need+=(xvfb)
have_cmd xauth || need+=(xauth)
have_cmd convert || need+=(imagemagick)
have_cmd zip || need+=(zip)
have_cmd unzip || need+=(unzip)

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
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
exec bash "$emulation"

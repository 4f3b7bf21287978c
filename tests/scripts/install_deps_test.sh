#!/usr/bin/env bash
# scripts/install-deps.sh decides by Debian package, not by a command on the
# PATH: its dry run against a fake dpkg-query, with commands named like the
# packages on the PATH, whatever this machine has installed. Then its install
# path, with fake dpkg, apt-get and id that log what they are asked: the i386
# architecture added when missing, APT's lists updated and exactly the missing
# packages installed, nothing done without root, and the 32-bit check
# (scripts/i386-emulation.sh, here a stub that logs) run last.
set -euo pipefail

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
bin="$work/bin"
mkdir -p "$bin" "$work/scripts"
cp "$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh" "$work/scripts/"
script="$work/scripts/install-deps.sh"
log="$work/log"
failures=0

# dpkg-query -W -f=FORMAT PACKAGE: not installed when PACKAGE is in $MISSING,
# held when in $HELD, installed otherwise.
cat >"$bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package="${!#}"
for missing in $MISSING; do
    [ "$package" = "$missing" ] || continue
    echo "dpkg-query: no packages found matching $package" >&2
    exit 1
done
for held in $HELD; do
    [ "$package" = "$held" ] && { printf 'hold ok installed'; exit 0; }
done
printf 'install ok installed'
FAKE
# dpkg --print-foreign-architectures prints $FOREIGN; anything else is logged.
cat >"$bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
if [ "$*" = --print-foreign-architectures ]; then
    for arch in $FOREIGN; do echo "$arch"; done
    exit 0
fi
echo "dpkg $*" >>"$LOG"
FAKE
# apt-get logs its arguments and fails when its first one is $APT_FAILS.
cat >"$bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$LOG"
[ "$1" != "${APT_FAILS:-}" ] || { echo "E: $1 failed" >&2; exit 100; }
FAKE
cat >"$bin/id" <<'FAKE'
#!/bin/sh
[ "$*" = -u ] && echo "$FAKE_UID"
FAKE
cat >"$work/scripts/i386-emulation.sh" <<'STUB'
echo "i386-emulation" >>"$LOG"
STUB
# Commands that are on this PATH but not from their packages.
printf '#!/bin/sh\nexit 0\n' >"$bin/convert"
printf '#!/bin/sh\nexit 0\n' >"$bin/cmake"
chmod +x "$bin"/*

# run ARGS...: the script with the fakes, as $FAKE_UID (default root), the
# i386 architecture there unless $FOREIGN says otherwise; its output
# (standard error included) in $got, its exit status in $status, what it ran
# in $ran.
run() {
    : >"$log"
    status=0
    got="$(LOG="$log" FAKE_UID="${FAKE_UID:-0}" FOREIGN="${FOREIGN-i386}" PATH="$bin:$PATH" \
        bash "$script" "$@" 2>&1)" || status=$?
    ran="$(cat "$log")"
}

# check CASE STATUS OUTPUT RAN: the last run gave these.
check() {
    if [ "$got" != "$3" ] || [ $status -ne "$2" ] || [ "$ran" != "$4" ]; then
        printf 'FAIL %s\n  expected (exit %d):\n%s\n%s\n  got (exit %d):\n%s\n%s\n' \
            "$1" "$2" "$3" "$4" $status "$got" "$ran" >&2
        failures=$((failures + 1))
    fi
}

# expect CASE MISSING HELD OUTPUT: the dry run prints OUTPUT, succeeds and
# runs nothing.
expect() {
    MISSING="$2" HELD="$3" run --dry-run
    check "$1" 0 "$4" ""
}

expect "commands on the PATH do not stand for their packages" \
    "imagemagick cmake" "" "install-deps: would install cmake imagemagick"
expect "the 64-bit Wine and cross compiler are asked for" \
    "wine64 g++-mingw-w64-x86-64 wine32:i386" "" \
    "install-deps: would install g++-mingw-w64-x86-64 wine32:i386 wine64"
expect "a held package is installed" \
    "zip" "wine64 imagemagick" "install-deps: would install zip"
expect "everything installed" \
    "" "" "install-deps: nothing to install"

quiet="-y -qq --no-install-recommends"
MISSING="cmake wine32:i386" run
check "the missing packages installed, exactly" 0 \
    "install-deps: installing cmake wine32:i386" \
    "apt-get update -qq
apt-get install $quiet cmake wine32:i386
i386-emulation"

MISSING="wine32:i386" FOREIGN="" run
check "the i386 architecture added when missing" 0 \
    "install-deps: installing wine32:i386" \
    "dpkg --add-architecture i386
apt-get update -qq
apt-get install $quiet wine32:i386
i386-emulation"

MISSING="make" FAKE_UID=1000 run
check "nothing done without root" 1 \
    "install-deps: missing make; run this script as root" ""

MISSING="" FAKE_UID=1000 run
check "nothing missing: no root needed, only the 32-bit check" 0 "" "i386-emulation"

MISSING="make" APT_FAILS=install run
check "a failed install stops there" 100 \
    "install-deps: installing make
E: install failed" \
    "apt-get update -qq
apt-get install $quiet make"

MISSING="make" APT_FAILS=update run
check "a failed update installs nothing" 100 \
    "install-deps: installing make
E: update failed" \
    "apt-get update -qq"

[ $failures -eq 0 ] && echo "install-deps: all cases pass"
exit $((failures > 0))

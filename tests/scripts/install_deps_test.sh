#!/usr/bin/env bash
# scripts/install-deps.sh decides by Debian package, not by a command on the
# PATH: its dry run against a fake dpkg-query, with commands named like the
# packages on the PATH, whatever this machine has installed. Then its install
# path, with fake dpkg, apt-get and id that log what they are asked: the i386
# architecture added when missing, APT's lists updated and exactly the missing
# packages installed, nothing done without root, and the 32-bit check
# (scripts/i386-emulation.sh, here a stub that logs) run last. And a mirror
# mid-sync: the update tried again, the install made with the lists APT has,
# from the release's own suite when the failed index was another suite's,
# and one line naming the index when the install cannot proceed.
set -euo pipefail

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
bin="$work/bin"
mkdir -p "$bin" "$work/scripts"
scripts="$(cd "$(dirname "$0")/../.." && pwd)/scripts"
cp "$scripts/install-deps.sh" "$scripts/apt-lists.sh" "$work/scripts/"
stubbed="$work/scripts/install-deps.sh"
log="$work/log"
failures=0

# dpkg-query -W -f=FORMAT PACKAGE: not installed when PACKAGE is in $MISSING
# or $BARE is set, held when in $HELD, installed otherwise; qemu-user-static
# installed at version $QEMU_VERSION when that is set.
cat >"$bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package="${!#}"
if [ "$package" = qemu-user-static ] && [ -n "${QEMU_VERSION:-}" ]; then
    printf 'install ok installed %s' "$QEMU_VERSION"
    exit 0
fi
[ -z "${BARE:-}" ] || exit 1
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
# update fails its first $UPDATE_FAILS times as a mirror mid-sync fails for
# the index $FAILED_INDEX; install fails unless its arguments hold
# $INSTALL_NEEDS, as an install of both halves of Wine fails when the i386
# one cannot have the amd64 one's version.
cat >"$bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
echo "apt-get $*" >>"$LOG"
[ "$1" != "${APT_FAILS:-}" ] || { echo "E: $1 failed" >&2; exit 100; }
if [ "$1" = update ] && [ "$(grep -c '^apt-get update' "$LOG")" -le "${UPDATE_FAILS:-0}" ]; then
    echo "E: Failed to fetch $FAILED_INDEX  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
fi
if [ "$1" = install ] && [ -n "${INSTALL_NEEDS:-}" ] && [[ " $* " != *" $INSTALL_NEEDS "* ]]; then
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
fi
exit 0
FAKE
# apt-cache policy: APT has fetched no lists yet, as in a container image.
printf '#!/bin/sh\nexit 0\n' >"$bin/apt-cache"
cat >"$bin/id" <<'FAKE'
#!/bin/sh
[ "$*" = -u ] && echo "$FAKE_UID"
FAKE
cat >"$work/scripts/i386-emulation.sh" <<'STUB'
[ "${1:-}" = --dry-run ] && exit 0
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
        MARROWICK_APT_PAUSE=0 bash "${script:-$stubbed}" "$@" 2>&1)" || status=$?
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

every="needed for every target and not installed"
expect "commands on the PATH do not stand for their packages" \
    "imagemagick cmake" "" "install-deps: would install cmake imagemagick: $every"
expect "the 64-bit Wine and cross compiler are asked for" \
    "wine64 g++-mingw-w64-x86-64 wine32:i386" "" \
    "install-deps: would install g++-mingw-w64-x86-64 wine32:i386 wine64: $every"
expect "a held package is installed" \
    "zip" "wine64 imagemagick" "install-deps: would install zip: $every"
expect "everything installed" \
    "" "" "install-deps: nothing to install or change for every target"

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

MISSING="zip make" FOREIGN="" run dist JOBS=2
check "dist: its missing packages alone, no i386 architecture, no 32-bit check" 0 \
    "install-deps: installing make zip" \
    "apt-get update -qq
apt-get install $quiet make zip"

mkdir -p "$work/no-dpkg"
status=0
got=$(PATH="$work/no-dpkg" "$BASH" "$stubbed" dist 2>&1) || status=$?
ran=""
check "no dpkg: nothing installed, the tools named, make goes on" 0 \
    "install-deps: no dpkg here; what the Debian packages cmake make g++-mingw-w64-i686 zip unzip hold must be installed by hand" ""

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
check "a failed update leaves the install to say whether it can proceed" 0 \
    "install-deps: installing make
install-deps: apt-get update failed; trying again in 0 s
install-deps: apt-get update failed; trying again in 0 s
install-deps: update failed; going on with the lists APT has" \
    "apt-get update -qq
apt-get update -qq
apt-get update -qq
apt-get install $quiet make
i386-emulation"

# A mirror mid-sync, one case a block: INSTALL_NEEDS|UPDATE_FAILS|the
# variable naming FAILED_INDEX|exit status; the case's name; the lines it
# prints after "installing make"; "--"; what it runs after the updates
# (tried up to 3 times); "==". Variables in the lines are expanded.
security=file:/srv/mirror/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
main=file:/srv/mirror/debian/dists/bookworm/main/binary-i386/Packages.xz
failed="install-deps: APT could not fetch $security (the mirror is mid-sync)"
held="E: Unable to correct problems, you have held broken packages."
retry="install-deps: apt-get update failed; trying again in 0 s"
while IFS='|' read -r needs fails index expected_status; do
    IFS= read -r case_name
    expected="install-deps: installing make"
    while IFS= read -r line && [ "$line" != "--" ]; do expected+=$'\n'"$line"; done
    expected_ran=""
    for _ in $(seq $((fails < 3 ? fails + 1 : 3))); do expected_ran+="apt-get update -qq"$'\n'; done
    while IFS= read -r line && [ "$line" != "==" ]; do expected_ran+="$line"$'\n'; done
    expected=$(eval "echo \"$expected\"")
    expected_ran=$(eval "echo \"$expected_ran\"")
    MISSING=make INSTALL_NEEDS="$needs" UPDATE_FAILS="$fails" FAILED_INDEX="${!index}" run
    check "$case_name" "$expected_status" "$expected" "${expected_ran%$'\n'}"
done <<'CASES'
|1|security|0
an update that fails once is tried again
$retry
--
apt-get install $quiet make
i386-emulation
==
|9|security|0
an index missing that the install does not need
$retry
$retry
$failed; going on with the lists APT has
--
apt-get install $quiet make
i386-emulation
==
-t bookworm|9|security|0
the security suite's index missing: the release's own suite installs
$retry
$retry
$failed; going on with the lists APT has
$held
install-deps: trying again with bookworm's own packages
--
apt-get install $quiet make
apt-get install $quiet -t bookworm make
i386-emulation
==
-t nothing|9|security|1
an install that cannot proceed stops with one line naming the index
$retry
$retry
$failed; going on with the lists APT has
$held
install-deps: trying again with bookworm's own packages
$held
install-deps: cannot install make: APT could not fetch $security (the mirror is mid-sync); try again later
--
apt-get install $quiet make
apt-get install $quiet -t bookworm make
==
-t bookworm|9|main|1
the release's own suite missing: no other suite to fall back to
$retry
$retry
install-deps: APT could not fetch $main (the mirror is mid-sync); going on with the lists APT has
$held
install-deps: cannot install make: APT could not fetch $main (the mirror is mid-sync); try again later
--
apt-get install $quiet make
==
CASES

# The dry run of the real scripts on a bare machine, one case a line: the
# arguments|whether the kernel runs 32-bit programs|the release|what the
# machine has besides (a bookworm-backports source, qemu-user-static of a
# version)|the kinds of the lines it prints, in order. Neither the kernel's
# answer nor an existing source may be taken for another target's.
real="$work/real"
mkdir -p "$real" "$work/apt/sources.list.d"
cp "$scripts/install-deps.sh" "$scripts/apt-lists.sh" "$scripts/i386-emulation.sh" \
    "$scripts/backports-source.sh" "$real/"
printf '#!/bin/sh\nexit 0\n' >"$work/runs"
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/fails"
chmod +x "$work/runs" "$work/fails"
backports_entry="Types: deb
URIs: file:/srv/mirror/debian
Suites: bookworm-backports
Components: main"

# The kind of each line printed, as words on one line.
kinds() {
    sed 's/.*would install qemu-user-static.*/qemu/; t
         s/.*would install .*: needed for .*/packages/; t
         s/.*would add the architecture i386 .*/i386/; t
         s/.*would add the APT source bookworm-backports: .*/backports/; t
         s/.*would register .* with binfmt_misc: .*/register/; t
         s/.*nothing to install or change.*/nothing/; t
         s/^/unexpected:/' <<<"$1" | tr '\n' ' ' | sed 's/ $//'
}

bench_packages='wine|clang|gtest|gmock|benchmark|xvfb|xauth|imagemagick|qemu'
while IFS='|' read -r arguments kernel release has expected; do
    rm -f "$work/apt/sources.list.d/"*
    [ "$has" != backports ] || echo "$backports_entry" >"$work/apt/sources.list.d/bookworm-backports.sources"
    echo "VERSION_CODENAME=$release" >"$work/os-release"
    qemu=""
    [[ $has != qemu-* ]] || qemu="1:${has#qemu-}+dfsg-1"
    # shellcheck disable=SC2086 # the arguments are words
    BARE=1 FOREIGN="" QEMU_VERSION="$qemu" MARROWICK_I386_PROGRAM="$work/$kernel" \
        MARROWICK_OS_RELEASE="$work/os-release" MARROWICK_APT_DIR="$work/apt" \
        script="$real/install-deps.sh" run --dry-run $arguments
    got_kinds=$(kinds "$got")
    if [ "$got_kinds" != "$expected" ] || [ $status -ne 0 ] || [ -n "$ran" ]; then
        printf 'FAIL dry run of %s, kernel %s, %s, %s: expected %s, got (exit %d, ran "%s"):\n%s\n' \
            "$arguments" "$kernel" "$release" "${has:-nothing more}" "$expected" $status "$ran" "$got" >&2
        failures=$((failures + 1))
    fi
    if [[ $arguments =~ ^(dist|dll)( [A-Z]+=[^ ]*)*$ ]] && grep -qE "$bench_packages" <<<"$got"; then
        printf 'FAIL the dry run of %s names a package of the bench:\n%s\n' "$arguments" "$got" >&2
        failures=$((failures + 1))
    fi
done <<'CASES'
dist|fails|bookworm||packages
dll JOBS=2|fails|trixie||packages
demo|fails|bookworm||packages i386 backports qemu register
demo|fails|bookworm|backports|packages i386 qemu register
test|fails|trixie||packages i386 qemu register
test|runs|bookworm||packages i386
stress|fails|bookworm|qemu-8.2.2|packages i386 register
bench|fails|bookworm|qemu-7.2|packages i386 backports qemu register
dist demo|fails|trixie||packages i386 qemu register
CASES

[ $failures -eq 0 ] && echo "install-deps: all cases pass"
exit $((failures > 0))

# Updating APT's lists and installing from them when a mirror is mid-sync:
# sourced by the scripts that install packages. A mirror being synced serves
# an index that disagrees with its Release file ("File has unexpected size
# ... Mirror sync in progress?") for anything from minutes to hours, and one
# such index makes `apt-get update` fail although every other list is fresh.
#
#   apt_update          updates the lists, trying 3 times, MARROWICK_APT_PAUSE
#                       seconds apart (default 10); when every try fails, says
#                       which indexes failed and goes on with the lists APT has
#   apt_install ARGS... apt-get install -y of ARGS ([-t RELEASE] PACKAGE...);
#                       after a failed update, tries the release's own suite
#                       when the failed indexes were another suite's, and stops
#                       with one line naming the failed indexes when the
#                       install still cannot proceed
#
# Messages start with the name of the script that sourced this one.

apt_who=$(basename "$0" .sh)
# APT's error lines of the last failed update; empty after one that worked.
apt_update_errors=""

# The addresses of the indexes that the update could not fetch, one a line.
apt_failed_indexes() {
    sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' <<<"$apt_update_errors"
}

# "the indexes ... (the mirror is mid-sync)": what went wrong, for a message.
apt_failure() {
    local indexes
    indexes=$(apt_failed_indexes | tr '\n' ' ')
    if [ -z "$indexes" ]; then
        grep -m1 '^E: ' <<<"$apt_update_errors" | sed 's/^E: //; s/\.$//' | tr -d '\n'
        return
    fi
    printf 'APT could not fetch %s' "${indexes% }"
    if grep -qiE 'mirror sync in progress|unexpected size|hash sum mismatch' \
        <<<"$apt_update_errors"; then
        printf ' (the mirror is mid-sync)'
    fi
}

apt_update() {
    local try
    for try in 1 2 3; do
        apt_update_errors=$(LC_ALL=C apt-get update -qq 2>&1 >/dev/null) && return 0
        [ $try -eq 3 ] && break
        echo "$apt_who: apt-get update failed; trying again in ${MARROWICK_APT_PAUSE:-10} s" >&2
        sleep "${MARROWICK_APT_PAUSE:-10}"
    done
    [ -n "$apt_update_errors" ] || apt_update_errors="E: apt-get update failed"
    echo "$apt_who: $(apt_failure); going on with the lists APT has" >&2
}

# The release whose own suite has every index: the codename before the "-"
# of the suite whose index failed (bookworm for bookworm-security), or
# nothing when the release's own suite failed or the failure names no suite.
apt_complete_release() {
    local suites
    suites=$(apt_failed_indexes | sed -n 's|.*/dists/\([^/]*\)/.*|\1|p' | sort -u)
    [ -n "$suites" ] || return 0
    grep -qv -- - <<<"$suites" && return 0
    head -n1 <<<"$suites" | cut -d- -f1
}

apt_install() {
    local status=0 release
    apt-get install -y -qq --no-install-recommends "$@" >/dev/null || status=$?
    [ $status -eq 0 ] && return 0
    [ -n "$apt_update_errors" ] || exit $status
    release=$(apt_complete_release)
    # Installed libraries may have newer versions in the suite whose index
    # failed than the other architecture can have now; the release's own
    # suite has both.
    if [ "${1:-}" != -t ] && [ -n "$release" ]; then
        echo "$apt_who: trying again with $release's own packages" >&2
        apt-get install -y -qq --no-install-recommends -t "$release" "$@" >/dev/null && return 0
    fi
    [ "${1:-}" = -t ] && shift 2
    echo "$apt_who: cannot install $*: $(apt_failure); try again later" >&2
    exit 1
}

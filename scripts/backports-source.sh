#!/usr/bin/env bash
# Prints an APT source, in deb822 form, for the backports suite of a Debian
# release: a copy of the source this machine already uses for the release, so
# the same address and keyring, with only the suite changed.
#   scripts/backports-source.sh CODENAME
# Looks in $MARROWICK_APT_DIR (default /etc/apt): first the deb822 entries of
# sources.list.d/*.sources, then the one-line entries of sources.list and
# sources.list.d/*.list. Fails when none of them is for CODENAME.
set -euo pipefail

release=${1:?usage: backports-source.sh CODENAME}
apt_dir=${MARROWICK_APT_DIR:-/etc/apt}

# The first enabled deb822 stanza of type deb whose Suites holds the release,
# its comments dropped, Types narrowed to deb and Suites to the backports
# suite; every other field (URIs, Components, Signed-By, ...) as it stands,
# continuation lines included.
from_deb822() {
    awk -v release="$release" '
        function words_hold(value, word,    w, n, i) {
            n = split(value, w)
            for (i = 1; i <= n; i++) if (w[i] == word) return 1
            return 0
        }
        function value_of(field,    v) { v = field; sub(/^[^:]*:[ \t]*/, "", v); return v }
        function end_stanza(    i, name) {
            if (n && words_hold(types, "deb") && words_hold(suites, release) && tolower(enabled) != "no") {
                for (i = 1; i <= n; i++) {
                    name = tolower(names[i])
                    if (name == "types") print "Types: deb"
                    else if (name == "suites") print "Suites: " release "-backports"
                    else if (name != "enabled") print fields[i]
                }
                found = 1
                exit
            }
            n = 0; types = suites = enabled = ""
        }
        FNR == 1 { end_stanza() }
        /^#/ { next }
        /^[ \t]*$/ { end_stanza(); next }
        /^[ \t]/ { if (n) fields[n] = fields[n] "\n" $0; next }
        {
            names[++n] = substr($0, 1, index($0, ":") - 1)
            fields[n] = $0
            name = tolower(names[n])
            if (name == "types") types = value_of($0)
            else if (name == "suites") suites = value_of($0)
            else if (name == "enabled") enabled = value_of($0)
        }
        END { if (!found) end_stanza(); exit !found }
    ' "$@"
}

# The first one-line entry "deb [options] URI SUITE COMPONENTS..." for the
# release, written as a deb822 stanza; of its options only signed-by is kept.
from_one_line() {
    awk -v release="$release" '
        { sub(/#.*/, "") }
        $1 != "deb" { next }
        {
            rest = $0
            sub(/^[ \t]*deb[ \t]+/, "", rest)
            options = ""
            if (rest ~ /^\[/) {
                options = substr(rest, 2, index(rest, "]") - 2)
                rest = substr(rest, index(rest, "]") + 1)
            }
            n = split(rest, w)
            if (n < 3 || w[2] != release) next
            print "Types: deb"
            print "URIs: " w[1]
            print "Suites: " release "-backports"
            components = w[3]
            for (i = 4; i <= n; i++) components = components " " w[i]
            print "Components: " components
            m = split(options, o)
            for (i = 1; i <= m; i++)
                if (o[i] ~ /^signed-by=/) print "Signed-By: " substr(o[i], 11)
            found = 1
            exit
        }
        END { exit !found }
    ' "$@"
}

# Globs that match nothing give no names rather than themselves.
shopt -s nullglob
deb822=("$apt_dir"/sources.list.d/*.sources)
one_line=("$apt_dir"/sources.list.d/*.list)
[ -f "$apt_dir/sources.list" ] && one_line=("$apt_dir/sources.list" "${one_line[@]}")

[ ${#deb822[@]} -gt 0 ] && from_deb822 "${deb822[@]}" && exit 0
[ ${#one_line[@]} -gt 0 ] && from_one_line "${one_line[@]}" && exit 0
echo "backports-source: no Debian source for $release in $apt_dir/sources.list.d/*.sources" \
    "or $apt_dir/sources.list; configure one for $release first" >&2
exit 1

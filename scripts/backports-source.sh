#!/usr/bin/env bash
# The backports suite of a Debian release as an APT source: a copy of the
# entry this machine already uses for the release in Debian's own archive
# (same address, keyring and options, only the suite changed), so that
# packages can be installed from it with `apt-get install -t CODENAME-backports`.
#
#   scripts/backports-source.sh CODENAME
#       prints that entry in deb822 form, or nothing (and says so) when the
#       machine has a backports entry for the release already
#   scripts/backports-source.sh --add CODENAME
#       as root: adds it as sources.list.d/CODENAME-backports.sources and
#       updates APT's lists (scripts/apt-lists.sh); when that update cannot
#       fetch the backports suite, removes the file again, leaving the sources
#       as they were. With an entry there already it only updates the lists.
#
# Debian's archive is the one whose Release file says so itself: origin
# Debian and the release's codename, as `apt-cache policy` shows them (with
# APT's own configuration, APT_CONFIG included). A vendor's source for the
# same release is never copied. Entries are read from
# $MARROWICK_APT_DIR (default /etc/apt): the deb822 ones of
# sources.list.d/*.sources first, then the one-line ones of sources.list and
# sources.list.d/*.list; disabled ones are passed over as APT passes them.
set -euo pipefail

add=0
if [ "${1:-}" = --add ]; then
    add=1
    shift
fi
release=${1:?usage: backports-source.sh [--add] CODENAME}
apt_dir=${MARROWICK_APT_DIR:-/etc/apt}
target="$apt_dir/sources.list.d/$release-backports.sources"

# The addresses of the archives whose Release file says origin Debian and
# codename $release, one a line, as APT fetched them.
debian_archives() {
    LC_ALL=C apt-cache policy | awk -v release="$release" '
        # " 500 URI SUITE/COMPONENT ARCH Packages", then "release v=...,o=...,n=...".
        /^ *-?[0-9]+ [^ ]+ [^ ]+/ { uri = $2; next }
        /^ +release / && uri != "" {
            sub(/^ +release /, "")
            n = split($0, pairs, ",")
            origin = codename = ""
            for (i = 1; i <= n; i++) {
                if (pairs[i] ~ /^o=/) origin = substr(pairs[i], 3)
                else if (pairs[i] ~ /^n=/) codename = substr(pairs[i], 3)
            }
            if (origin == "Debian" && codename == release) print uri
            uri = ""
        }
    ' | sort -u
}

# The enabled deb822 entries of type deb in the files given, each a stanza
# headed "File: NAME", with Types narrowed to deb and Enabled dropped; every
# other field as it stands, continuation lines included.
deb822_entries() {
    awk '
        # Enabled is false as APT reads a boolean: a number that is 0, or one
        # of its false words, in any case.
        function is_false(value) {
            value = tolower(value)
            gsub(/^[ \t]+|[ \t]+$/, "", value)
            if (value ~ /^[+-]?[0-9]+$/) return value + 0 == 0
            return value ~ /^(no|false|without|off|disable)$/
        }
        function holds(list, word,    w, n, i) {
            n = split(list, w)
            for (i = 1; i <= n; i++) if (w[i] == word) return 1
            return 0
        }
        function value_of(field,    v) { v = field; sub(/^[^:]*:[ \t]*/, "", v); return v }
        function end_stanza(    i) {
            if (n && holds(types, "deb") && !disabled) {
                print "File: " file
                print "Types: deb"
                for (i = 1; i <= n; i++)
                    if (names[i] != "types" && names[i] != "enabled") print fields[i]
                print ""
            }
            n = 0; types = ""; disabled = 0
        }
        FNR == 1 { end_stanza() }
        # A line that starts with "#" is a comment, wherever it stands, so a
        # stanza with every line commented out is no stanza.
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { end_stanza(); next }
        /^[ \t]/ {
            if (!n) next
            fields[n] = fields[n] "\n" $0
            if (names[n] == "types") types = types " " $0
            next
        }
        {
            if (!n) file = FILENAME
            fields[++n] = $0
            names[n] = tolower(substr($0, 1, index($0, ":") - 1))
            if (names[n] == "types") types = value_of($0)
            else if (names[n] == "enabled") disabled = is_false(value_of($0))
        }
        END { end_stanza() }
    ' "$@"
}

# The one-line entries "deb [OPTIONS] URI SUITE COMPONENTS..." in the files
# given, each as a deb822 stanza headed "File: NAME"; "#" starts a comment
# anywhere on a line. Each option becomes its deb822 field: key= sets it,
# key+= and key-= of a list become its -Add and -Remove fields, and the
# commas between a list's values become spaces.
one_line_entries() {
    awk '
        function option_field(option,    key, value, change) {
            key = substr(option, 1, index(option, "=") - 1)
            value = substr(option, index(option, "=") + 1)
            change = ""
            if (key ~ /[+-]$/) {
                change = substr(key, length(key)) == "+" ? "-Add" : "-Remove"
                key = substr(key, 1, length(key) - 1)
            }
            if (key in lists) gsub(/,/, " ", value)
            return (key in names ? names[key] : key) change ": " value
        }
        BEGIN {
            names["arch"] = "Architectures"; names["lang"] = "Languages"
            names["target"] = "Targets"; names["signed-by"] = "Signed-By"
            lists["arch"]; lists["lang"]; lists["target"]; lists["signed-by"]
            names["trusted"] = "Trusted"; names["pdiffs"] = "PDiffs"; names["by-hash"] = "By-Hash"
            names["check-valid-until"] = "Check-Valid-Until"
            names["valid-until-min"] = "Valid-Until-Min"; names["valid-until-max"] = "Valid-Until-Max"
            names["check-date"] = "Check-Date"; names["date-max-future"] = "Date-Max-Future"
            names["inrelease-path"] = "InRelease-Path"; names["snapshot"] = "Snapshot"
            names["allow-insecure"] = "Allow-Insecure"; names["allow-weak"] = "Allow-Weak"
            names["allow-downgrade-to-insecure"] = "Allow-Downgrade-To-Insecure"
        }
        { sub(/#.*/, "") }
        !/^[ \t]*deb[ \t]/ { next }
        {
            sub(/^[ \t]*deb[ \t]+/, "")
            options = ""
            if (/^\[/) {
                options = substr($0, 2, index($0, "]") - 2)
                $0 = substr($0, index($0, "]") + 1)
            }
            if (NF < 3) next
            print "File: " FILENAME
            print "Types: deb"
            print "URIs: " $1
            print "Suites: " $2
            components = $3
            for (i = 4; i <= NF; i++) components = components " " $i
            print "Components: " components
            m = split(options, o)
            for (i = 1; i <= m; i++) if (o[i] ~ /=/) print option_field(o[i])
            print ""
        }
    ' "$@"
}

# Reads the entries as deb822 stanzas and prints either "there FILE", when an entry has the
# backports suite already, or "entry" and the backports stanza made from the
# first entry for the release at one of Debian's addresses, its other
# addresses dropped; nothing when there is neither.
choose() {
    awk -v release="$release" -v archives="$1" '
        function holds(list, word,    w, n, i) {
            n = split(list, w, " ")
            for (i = 1; i <= n; i++) if (w[i] == word) return 1
            return 0
        }
        # An address as APT shows it in its policy: without a trailing slash.
        function bare(uri) { sub(/\/+$/, "", uri); return uri }
        function debian_uris(list,    w, n, i, kept) {
            n = split(list, w, " ")
            kept = ""
            for (i = 1; i <= n; i++) if (bare(w[i]) in debian) kept = kept (kept == "" ? "" : " ") w[i]
            return kept
        }
        # The fields of the record: field[1..count] with continuation lines,
        # name[] in lower case, value[NAME] with its continuation lines joined.
        # Records are stanzas and FS a line break, so splits name their
        # separator.
        function read_fields(    i) {
            count = 0
            split("", value)
            for (i = 1; i <= NF; i++) {
                if ($i ~ /^[ \t]/) {
                    field[count] = field[count] "\n" $i
                    value[name[count]] = value[name[count]] " " $i
                    continue
                }
                field[++count] = $i
                name[count] = tolower(substr($i, 1, index($i, ":") - 1))
                value[name[count]] = $i
                sub(/^[^:]*:[ \t]*/, "", value[name[count]])
            }
        }
        # The record as the backports entry at the addresses URIS.
        function backports_stanza(uris,    i, line, text) {
            text = ""
            for (i = 1; i <= count; i++) {
                if (name[i] == "file") continue
                else if (name[i] == "uris") line = "URIs: " uris
                else if (name[i] == "suites") line = "Suites: " release "-backports"
                else line = field[i]
                text = text (text == "" ? "" : "\n") line
            }
            return text
        }
        BEGIN {
            RS = ""; FS = "\n"
            n = split(archives, a, " ")
            for (i = 1; i <= n; i++) debian[bare(a[i])] = 1
        }
        {
            read_fields()
            if (holds(value["suites"], release "-backports")) { there = value["file"]; exit }
            if (stanza != "" || !holds(value["suites"], release)) next
            uris = debian_uris(value["uris"])
            if (uris != "") stanza = backports_stanza(uris)
        }
        END {
            if (there != "") print "there " there
            else if (stanza != "") print "entry\n" stanza
        }
    '
}

# The verdict of choose() for this machine's enabled sources.
verdict() {
    # Globs that match nothing give no names rather than themselves.
    shopt -s nullglob
    local deb822=("$apt_dir"/sources.list.d/*.sources) one_line=("$apt_dir"/sources.list.d/*.list)
    shopt -u nullglob
    [ -f "$apt_dir/sources.list" ] && one_line=("$apt_dir/sources.list" "${one_line[@]}")
    {
        [ ${#deb822[@]} -eq 0 ] || deb822_entries "${deb822[@]}"
        [ ${#one_line[@]} -eq 0 ] || one_line_entries "${one_line[@]}"
    } | choose "$(debian_archives | tr '\n' ' ')"
}

no_source() {
    echo "backports-source: no source for $release in Debian's archive in" \
        "$apt_dir/sources.list.d/*.sources or $apt_dir/sources.list; configure one for $release first" >&2
    exit 1
}

already_there() { echo "backports-source: $release-backports is already a source, in ${1#there }" >&2; }

print_entry() {
    local found
    found=$(verdict)
    case "$found" in
        there*) already_there "$found" ;;
        entry*) echo "${found#entry$'\n'}" ;;
        *) no_source ;;
    esac
}

# Writes the entry and updates APT's lists with it. When the update cannot
# fetch the backports suite itself, takes the entry out again; when only
# other indexes fail (a mirror mid-sync), keeps it: its lists are there.
add_entry() {
    local found
    if [ "$(id -u)" -ne 0 ]; then
        echo "backports-source: adding a source needs root" >&2
        exit 1
    fi
    . "$(dirname "$0")/apt-lists.sh"
    found=$(verdict)
    # Lists never fetched (container images ship without them): APT cannot
    # say yet which archive is Debian's.
    if [ -z "$found" ]; then
        apt_update
        found=$(verdict)
    fi
    case "$found" in
        there*) already_there "$found"; apt_update; return ;;
        entry*) ;;
        *) no_source ;;
    esac
    if [ -e "$target" ]; then
        echo "backports-source: $target exists but has no enabled entry for $release-backports;" \
            "enable it there" >&2
        exit 1
    fi
    {
        echo "# Debian's $release-backports, added by scripts/backports-source.sh --add"
        echo "${found#entry$'\n'}"
    } >"$target"
    apt_update
    if grep -q -- "$release-backports[/ ]" <<<"$apt_update_errors"; then
        rm -f "$target"
        echo "backports-source: $(apt_failure); $target removed again; try again later" >&2
        exit 1
    fi
    echo "backports-source: added $release-backports in $target" >&2
}

if [ $add -eq 1 ]; then add_entry; else print_entry; fi

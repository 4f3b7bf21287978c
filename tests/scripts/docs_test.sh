#!/usr/bin/env bash
# The docs stay a house one can walk through: README.md, the page a user reads
# first, stays under 200 lines and links to every page in docs/; every page in
# docs/ links back to it; and every relative link and image of README.md and
# docs/*.md leads to a file that exists, and its #anchor, when it points into
# a Markdown page, to a heading of that page. The check runs first over small
# made-up trees, each with one fault it must find (or none), then over the
# repository.
set -euo pipefail

repository="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# The lines of Markdown file $1 outside fenced code blocks.
prose() { awk '/^[[:space:]]*```/ { code = !code; next } !code' "$1"; }

# The targets of the links and images of Markdown file $1, one a line.
links() { prose "$1" | grep -o '\]([^)[:space:]]*)' | sed 's/^](//; s/)$//' || true; }

# The anchors of the headings of Markdown file $1, as the rendered page has
# them: lower case, punctuation dropped, spaces as hyphens.
anchors() {
    prose "$1" | sed -n 's/^#\{1,6\}[[:space:]]\{1,\}//p' |
        LC_ALL=C tr '[:upper:]' '[:lower:]' | LC_ALL=C sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

# check_docs ROOT: prints one line per fault in ROOT's README.md and docs/*.md
# and fails when there is any.
check_docs() {
    local root=$1 faults=0 lines file page target path anchor resolved
    lines=$(wc -l <"$root/README.md")
    if [ "$lines" -ge 200 ]; then
        echo "README.md has $lines lines; it must stay under 200"
        faults=1
    fi
    local -a pages=()
    for page in "$root"/docs/*.md; do
        [ -e "$page" ] && pages+=("$page")
    done
    # Every link, resolved to a path, beside the file it is in.
    local resolved_links="$work/resolved"
    : >"$resolved_links"
    for file in "$root/README.md" ${pages[@]+"${pages[@]}"}; do
        while IFS= read -r target; do
            case $target in
                [a-zA-Z]*:*) continue ;;  # http:, https:, mailto:
            esac
            path=${target%%#*}
            anchor=
            [ "$path" != "$target" ] && anchor=${target#*#}
            if [ -z "$path" ]; then
                resolved=$file
            else
                resolved=$(realpath -m "$(dirname "$file")/$path")
            fi
            echo "$file $resolved" >>"$resolved_links"
            if [ ! -e "$resolved" ]; then
                echo "${file#"$root"/}: link to $target: no such file"
                faults=1
            elif [ -n "$anchor" ] && [[ $resolved == *.md ]] &&
                ! anchors "$resolved" | grep -qxF "$anchor"; then
                echo "${file#"$root"/}: link to $target: no heading #$anchor in ${resolved#"$root"/}"
                faults=1
            fi
        done < <(links "$file")
    done
    for page in ${pages[@]+"${pages[@]}"}; do
        if ! grep -qxF "$root/README.md $page" "$resolved_links"; then
            echo "README.md does not link to docs/${page##*/}"
            faults=1
        fi
        if ! grep -qxF "$page $root/README.md" "$resolved_links"; then
            echo "docs/${page##*/} does not link back to README.md"
            faults=1
        fi
    done
    return $faults
}

# A small tree that passes: a README of 199 lines linking to its one page, the
# page linking back and into a heading of the README, a link and an image
# beside them, and a code block whose bracketed text is no link.
make_tree() {
    local tree=$1
    rm -rf "$tree"
    mkdir -p "$tree/docs" "$tree/package"
    touch "$tree/package/GUIDE.txt" "$tree/docs/demo.gif"
    {
        echo "# Product"
        echo
        echo "![The demo](docs/demo.gif) and the [guide](package/GUIDE.txt)."
        echo
        echo "## Settings: \`Product.rc\`"
        echo
        echo "- [Building](docs/building.md#the-builds), [home](https://example.org/)"
        echo '```'
        echo 'tool [-log FILE](x) [-style FILE]'
        echo '```'
        for _ in $(seq 11 199); do echo; done
    } >"$tree/README.md"
    cat >"$tree/docs/building.md" <<'PAGE'
# Building

This page holds the builds. Back to the [README](../README.md), whose
[settings](../README.md#settings-productrc) it builds from.

## The builds
PAGE
}

# expect pass|fail NAME TREE [FRAGMENT]: check_docs over TREE passes, or fails
# naming FRAGMENT in what it prints.
expect() {
    local want=$1 name=$2 tree=$3 fragment=${4:-} output status=0
    output=$(check_docs "$tree" 2>&1) || status=$?
    if [ "$want" = pass ] && [ $status -ne 0 ]; then
        echo "FAIL $name: the check failed:"; echo "$output"; failures=$((failures + 1))
    elif [ "$want" = fail ] && { [ $status -eq 0 ] || [[ $output != *"$fragment"* ]]; }; then
        echo "FAIL $name: the check did not report '$fragment':"; echo "$output"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

tree="$work/tree"
make_tree "$tree"
expect pass "a README of 199 lines, every page linked both ways" "$tree"

make_tree "$tree"
echo >>"$tree/README.md"
expect fail "a README of 200 lines" "$tree" "README.md has 200 lines"

make_tree "$tree"
printf '# Testing\n\nBack to the [README](../README.md).\n' >"$tree/docs/testing.md"
expect fail "a page the README does not link to" "$tree" "README.md does not link to docs/testing.md"

make_tree "$tree"
sed -i 's|\[README\](../README.md)|README|; s|\[settings\](../README.md#settings-productrc)|settings|' \
    "$tree/docs/building.md"
expect fail "a page without a link back" "$tree" "docs/building.md does not link back to README.md"

make_tree "$tree"
sed -i 's|(docs/building.md#the-builds)|(docs/build.md#the-builds)|' "$tree/README.md"
sed -i '2s|^$|See [building](docs/building.md).|' "$tree/README.md"
expect fail "a link to a page that does not exist" "$tree" "link to docs/build.md#the-builds: no such file"

make_tree "$tree"
rm "$tree/docs/demo.gif"
expect fail "an image that does not exist" "$tree" "link to docs/demo.gif: no such file"

make_tree "$tree"
sed -i 's|^## The builds$|## Builds|' "$tree/docs/building.md"
expect fail "an anchor whose heading was renamed" "$tree" "no heading #the-builds in docs/building.md"

make_tree "$tree"
sed -i 's|^## Settings: `Product.rc`$|## Settings|' "$tree/README.md"
expect fail "an anchor into the README" "$tree" "no heading #settings-productrc in README.md"

expect pass "the repository's README.md and docs/" "$repository"

[ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
echo "all cases passed"

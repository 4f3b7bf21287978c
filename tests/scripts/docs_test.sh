#!/usr/bin/env bash
# The docs stay a house one can walk through, with one reference: README.md,
# the page a user reads first, stays under 100 lines and links to every page
# in docs/; every page in docs/ but the reference, which is the zip's guide
# too, links back to it; every relative link and image of README.md and
# docs/*.md leads to a file that exists, and its #anchor, when it points into
# a Markdown page, to a heading of that page;
# and no page but docs/reference.md has a table row of bro@ms or settings.
# The guide of the release zip, which scripts/make-guide.sh makes from the
# reference, holds every heading and every table cell of it, in plain ASCII
# lines of at most 76 columns with no Markdown left; it is whole on its own:
# it names no file of the repository that the zip lacks, the reference links
# to no page beside it, and each cross-reference gives the number and the
# title of a heading of the guide. The checks run first over small made-up
# trees, each with one fault they must find (or none), then over the
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
    if [ "$lines" -ge 100 ]; then
        echo "README.md has $lines lines; it must stay under 100"
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
    # The bro@ms and the settings have one table each, in the reference.
    for file in "$root/README.md" ${pages[@]+"${pages[@]}"}; do
        [ "$file" = "$root/docs/reference.md" ] && continue
        if prose "$file" | grep -q '^ *| *`\(@Marrowick\.\|marrowick\.\)[^`]*` *|'; then
            echo "${file#"$root"/}: repeats a row of the reference's tables"
            faults=1
        fi
    done
    for page in ${pages[@]+"${pages[@]}"}; do
        if ! grep -qxF "$root/README.md $page" "$resolved_links"; then
            echo "README.md does not link to docs/${page##*/}"
            faults=1
        fi
        # The reference is the zip's guide too, which holds no README.
        if [ "$page" != "$root/docs/reference.md" ] &&
            ! grep -qxF "$page $root/README.md" "$resolved_links"; then
            echo "docs/${page##*/} does not link back to README.md"
            faults=1
        fi
    done
    return $faults
}

# The text of Markdown lines as a reader sees it, line by line: links as
# their text, no code marks or bold, \| as |, white space as single spaces.
plain() {
    sed 's/!\{0,1\}\[\([^]]*\)\]([^)]*)/\1/g; s/\*\*//g; s/\\|/|/g; s/`//g
         s/[[:space:]]\{1,\}/ /g; s/^ //; s/ $//'
}

# The headings of Markdown file $1 and the cells of its tables, header rows
# left out, one a line.
headings_and_cells() {
    prose "$1" | awk '
        function flush(    i, k, c, row, cell) {
            for (i = 1; i <= n; i++) {
                if (rows[i] ~ SEPARATOR || (i < n && rows[i + 1] ~ SEPARATOR)) continue
                row = rows[i]
                gsub(/\\\|/, "\001", row); sub(/^ *\|/, "", row); sub(/\| *$/, "", row)
                k = split(row, cell, "|")
                for (c = 1; c <= k; c++) { gsub(/\001/, "\\|", cell[c]); print cell[c] }
            }
            n = 0
        }
        BEGIN { SEPARATOR = "^ *\\|[-:| ]+\\| *$" }
        /^ *\|/ { rows[++n] = $0; next }
        { flush() }
        /^#+[ \t]/ { sub(/^#+[ \t]+/, ""); print }
        END { flush() }'
}

# The files below ROOT, one path a line, without the builds' folders.
tree_files() {
    (cd "$1" && find . \( -name .git -o -name build -o -name dist -o -name out \) -prune -o \
        -type f -print) | sed 's|^\./||'
}

# The files of ROOT that the release zip lacks, as a text could name them:
# each path (./run for a command at the top), its base name when that has an
# extension, and the stem of a name in capitals (README).
files_outside_zip() {
    tree_files "$1" | LC_ALL=C awk -F/ '
        NF > 1 || /\./ { print }
        NF == 1 && !/\./ { print "./" $0 }
        NF > 1 && $NF ~ /\./ { print $NF }
        { stem = $NF; sub(/\.[^.]*$/, "", stem); if (stem != $NF && stem ~ /^[A-Z]+$/) print stem }' |
        grep -vxE 'Marrowick\.dll|Marrowick\.rc|GUIDE\.txt|GUIDE' | sort -u
}

# check_guide ROOT: prints one line per way in which ROOT/GUIDE.txt fails
# ROOT/docs/reference.md, Notepad or a reader who has the zip alone, and
# fails when there is any.
check_guide() {
    local root=$1 faults=0 unix="$work/guide.unix" target
    tr -d '\r' <"$root/GUIDE.txt" >"$unix"
    LC_ALL=C awk '
        /[^ -~]/ { print "GUIDE.txt: line " NR " holds a character that is not printable ASCII"; bad = 1 }
        length > 76 { print "GUIDE.txt: line " NR " has " length " columns, more than 76"; bad = 1 }
        /\]\(|```|\*\*|^ *\|.*\| *$/ { print "GUIDE.txt: line " NR " keeps Markdown: " $0; bad = 1 }
        END { exit bad }' "$unix" || faults=1
    plain <"$unix" | tr '\n' ' ' >"$work/guide.flat"
    while IFS= read -r target; do
        case $target in
            '#'* | [a-zA-Z]*:*) ;;
            *) echo "GUIDE.txt: the reference links to $target, which the zip lacks"; faults=1 ;;
        esac
    done < <(links "$root/docs/reference.md")
    # A name stands as a word: not inside a longer name or path.
    files_outside_zip "$root" | LC_ALL=C awk '
        NR == FNR { flat = flat " " $0 " "; next }
        {
            rest = flat
            while ((at = index(rest, $0)) > 0) {
                before = substr(rest, at - 1, 1); after = substr(rest, at + length($0), 1)
                if (before !~ /[A-Za-z0-9_.\/-]/ && after !~ /[A-Za-z0-9_\/-]/) {
                    print "GUIDE.txt: names " $0 ", which the zip lacks"; bad = 1; break
                }
                rest = substr(rest, at + 1)
            }
        }
        END { exit bad }' "$work/guide.flat" - || faults=1
    # "section 5.1, Paddings": a heading "5.1. Paddings" of the guide, the
    # line above its underline.
    LC_ALL=C awk '
        NR == FNR {
            if (/^[-~]+$/ && length == length(above) && match(above, /^[0-9]+(\.[0-9]+)?\. /))
                title[substr(above, 1, RLENGTH - 2)] = substr(above, RLENGTH + 1)
            above = $0
            next
        }
        {
            rest = $0
            while (match(rest, /section [0-9]+(\.[0-9]+)?, /)) {
                number = substr(rest, RSTART + 8, RLENGTH - 10); rest = substr(rest, RSTART + RLENGTH)
                if (!(number in title)) { print "GUIDE.txt: section " number " does not exist"; bad = 1 }
                else if (tolower(substr(rest, 1, length(title[number]))) != tolower(title[number])) {
                    print "GUIDE.txt: section " number " is \"" title[number] "\", not \"" substr(rest, 1, 30) "...\""
                    bad = 1
                }
            }
        }
        END { exit bad }' "$unix" "$work/guide.flat" || faults=1
    # Each text must stand in the guide as words: after a space, and before
    # a space or a punctuation mark. The guide's "section N, " before a
    # link's text is no part of it.
    sed -i 's/section [0-9][0-9.]*, //g' "$work/guide.flat"
    headings_and_cells "$root/docs/reference.md" | plain | LC_ALL=C awk '
        NR == FNR { flat = flat " " $0; next }
        $0 != "" {
            rest = flat; found = 0
            while (!found && (at = index(rest, " " $0)) > 0) {
                after = substr(rest, at + 1 + length($0), 1)
                found = after == "" || after ~ /[[:space:][:punct:]]/
                rest = substr(rest, at + 1)
            }
            if (!found) { print "GUIDE.txt: lacks the reference\047s \"" $0 "\""; bad = 1 }
        }
        END { exit bad }' "$work/guide.flat" - || faults=1
    return $faults
}

# A small tree that passes: a README of 99 lines linking to its one page, the
# page linking back and into a heading of the README, a link and an image
# beside them, and a code block whose bracketed text is no link.
make_tree() {
    local tree=$1
    rm -rf "$tree"
    mkdir -p "$tree/docs" "$tree/package"
    touch "$tree/package/Product.rc" "$tree/docs/demo.gif"
    {
        echo "# Product"
        echo
        echo "![The demo](docs/demo.gif) and the [settings](package/Product.rc)."
        echo
        echo "## Settings: \`Product.rc\`"
        echo
        echo "- [Building](docs/building.md#the-builds), [home](https://example.org/)"
        echo '```'
        echo 'tool [-log FILE](x) [-style FILE]'
        echo '```'
        for _ in $(seq 11 99); do echo; done
    } >"$tree/README.md"
    cat >"$tree/docs/building.md" <<'PAGE'
# Building

This page holds the builds. Back to the [README](../README.md), whose
[settings](../README.md#settings-productrc) it builds from.

## The builds
PAGE
}

# expect pass|fail NAME TREE [FRAGMENT]: $check (check_docs unless set) over
# TREE passes, or fails naming FRAGMENT in what it prints.
expect() {
    local want=$1 name=$2 tree=$3 fragment=${4:-} output status=0
    output=$("${check:-check_docs}" "$tree" 2>&1) || status=$?
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
expect pass "a README of 99 lines, every page linked both ways" "$tree"

make_tree "$tree"
echo >>"$tree/README.md"
expect fail "a README of 100 lines" "$tree" "README.md has 100 lines"

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

make_tree "$tree"
printf '| `marrowick.icon_size:` | `16` |\n' >>"$tree/docs/building.md"
expect fail "a page that repeats a settings row" "$tree" "docs/building.md: repeats a row"

expect pass "the repository's README.md and docs/" "$repository"

# A small reference and the guide the script makes of it, as it must read.
make_reference() {
    local tree=$1
    rm -rf "$tree"
    mkdir -p "$tree/docs"
    cat >"$tree/docs/reference.md" <<'REFERENCE'
# Product reference

Intro with `code`, a [link](https://example.org/), **bold**, a \| bar and
``a `quoted' code``, then a bro@m that must stay whole on one line:
`@Product.Click LeftDoubleClick Music player`.

<!-- A comment the guide leaves out. -->

## Installing

1. Copy `Product.dll`, a long item that needs to wrap at the width so that
   its second line hangs under the first.

   ```
   plugins\Product\Product.dll
   ```

2. Restart.
3. Bind a key ([Keys](#keys)).

### Keys

| key | default | what it does |
|---|---|---|
| `product.size:` | `16` | the size of the icons, which the list draws in every row beside the tip |
| `product.style:` | | the style |

| key | bro@m |
|---|---|
| Win+V | `@Product.Click LeftDoubleClick Music player` |
REFERENCE
    bash "$repository/scripts/make-guide.sh" "$tree/docs/reference.md" >"$tree/GUIDE.txt"
}

tree="$work/reference"
make_reference "$tree"
if diff -u - "$tree/GUIDE.txt" <<'GUIDE'; then echo "ok   the guide made from a small reference"; else
Product reference
=================

Intro with code, a link, bold, a | bar and a `quoted' code, then a bro@m
that must stay whole on one line:
@Product.Click LeftDoubleClick Music player.


1. Installing
-------------

1. Copy Product.dll, a long item that needs to wrap at the width so that its
   second line hangs under the first.

       plugins\Product\Product.dll

2. Restart.
3. Bind a key (section 1.1, Keys).

1.1. Keys
~~~~~~~~~

    product.size:
        Default: 16
        What it does: the size of the icons, which the list draws in every
          row beside the tip

    product.style:
        What it does: the style

    Win+V
        @Product.Click LeftDoubleClick Music player
GUIDE
    echo "FAIL the guide made from a small reference"; failures=$((failures + 1))
fi

check=check_guide
expect pass "a guide made from its reference" "$tree"

make_reference "$tree"
sed -i '/^    Win+V$/,$d' "$tree/GUIDE.txt"
expect fail "a guide that lacks a table row" "$tree" "lacks the reference's \"Win+V\""

make_reference "$tree"
sed -i "s/^    product.size:$/    product.size: $(printf '%059d' 0)/" "$tree/GUIDE.txt"
expect fail "a guide line wider than 76 columns" "$tree" "GUIDE.txt: line 23 has 77 columns"

make_reference "$tree"
sed -i 's/Restart\./Red\xc3\xa9marrez./' "$tree/GUIDE.txt"
expect fail "a guide with a character Notepad may not show" "$tree" "line 17 holds a character"

make_reference "$tree"
echo "See [the link](../README.md)." >>"$tree/GUIDE.txt"
expect fail "a guide that keeps Markdown" "$tree" "keeps Markdown: See [the link]"

make_reference "$tree"
touch "$tree/README.md"
echo "The README says how." >>"$tree/GUIDE.txt"
expect fail "a guide that sends the reader to the README" "$tree" "names README, which the zip lacks"

make_reference "$tree"
echo "See docs/reference.md." >>"$tree/GUIDE.txt"
expect fail "a guide that names a page of the repository" "$tree" "names docs/reference.md, which"

make_reference "$tree"
echo "See [Building](building.md)." >>"$tree/docs/reference.md"
expect fail "a reference that links to a page beside it" "$tree" "links to building.md, which the zip"

make_reference "$tree"
sed -i 's/section 1\.1, Keys/section 1.2, Keys/' "$tree/GUIDE.txt"
expect fail "a cross-reference to a section that does not exist" "$tree" "section 1.2 does not exist"

# The guide of the repository's reference, beside every file name of the
# repository.
tree="$work/repository-guide"
tree_files "$repository" | sed "s|^|$tree/|" >"$work/names"
sed 's|/[^/]*$||' "$work/names" | sort -u | xargs -d '\n' mkdir -p
xargs -d '\n' touch <"$work/names"
cp "$repository/docs/reference.md" "$tree/docs/"
bash "$repository/scripts/make-guide.sh" "$tree/docs/reference.md" >"$tree/GUIDE.txt"
expect pass "the guide made from the repository's docs/reference.md" "$tree"

[ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
echo "all cases passed"

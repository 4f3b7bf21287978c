#!/usr/bin/env bash
# Makes the user guide of the release zip from the reference, docs/reference.md:
# plain text of at most 76 columns that any editor shows as it is, Notepad
# included, so that the zip's guide and the reference cannot drift apart.
#   scripts/make-guide.sh REFERENCE.md    prints the guide, with Unix line ends
#
# What it makes of the Markdown the reference uses:
#   # Title, ## Section, ### Part   the title underlined with =, sections
#                                   numbered and underlined with -, parts
#                                   numbered within their section (3.1.)
#                                   and underlined with ~
#   paragraphs, - and 1. lists      refilled to the width, items hanging
#   ``` code blocks                 as they stand, indented by four
#   tables                          a block per row: the first cell, then each
#                                   other cell below it, after its column's
#                                   name when there are three columns or more
#   `code`, [text](target), **b**   the code and the text as they stand; the
#                                   spaces of a code span never break a line
#   [text](#heading)                "section 3.1, text": the number of the
#                                   heading the link leads to
#   <!-- comments -->               left out (only whole lines)
# The reference is read twice: first for the numbers of its headings, which
# links before a heading need too.
# Only awk, which every Debian has (mawk in a minimal one).
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 REFERENCE.md" >&2; exit 2; }

LC_ALL=C awk -v width=76 '
BEGIN { ESCAPABLE = "\\`*_{}[]()<>#+-.!|\"" }

function spaces(n,    s) { s = ""; while (n-- > 0) s = s " "; return s }
function repeat(c, n,    s) { s = ""; while (n-- > 0) s = s c; return s }

# A blank line before the next block, two before a section; none at the top.
function separate(lines) {
    if (printed) while (blanks < lines) { print ""; blanks++ }
}
function out(line) { print line; printed = 1; blanks = (line == "") }

# The inline markup of text made plain. The spaces of code spans become
# \001, which the filling keeps together and turns back into spaces.
function inline(text,    result, c, run, rest, end_at, code, label, target) {
    result = ""
    while (text != "") {
        c = substr(text, 1, 1)
        if (c == "\\" && index(ESCAPABLE, substr(text, 2, 1))) {
            result = result substr(text, 2, 1); text = substr(text, 3); continue
        }
        if (c == "`") {
            match(text, /^`+/); run = substr(text, 1, RLENGTH); rest = substr(text, RLENGTH + 1)
            end_at = closing(rest, run)
            if (end_at) {
                code = substr(rest, 1, end_at - 1)
                if (code ~ /^ .* $/ && code !~ /^ *$/) code = substr(code, 2, length(code) - 2)
                gsub(/ /, "\001", code)
                result = result code; text = substr(rest, end_at + length(run)); continue
            }
            result = result run; text = rest; continue
        }
        if (c == "*" && substr(text, 2, 1) == "*") { text = substr(text, 3); continue }
        if ((c == "[" || substr(text, 1, 2) == "![") && match(text, /^!?\[[^]]*\]\([^)]*\)/)) {
            label = substr(text, 1, RLENGTH); text = substr(text, RLENGTH + 1)
            target = label
            sub(/^!?\[/, "", label); sub(/\]\([^)]*\)$/, "", label)
            sub(/^!?\[[^]]*\]\(/, "", target); sub(/\)$/, "", target)
            if (target in number) result = result "section\001" number[target] ",\001"
            result = result inline(label); continue
        }
        result = result c; text = substr(text, 2)
    }
    return result
}

# Where in text the backtick run closes: a run of the same length, neither
# longer nor part of a longer one. 0 when none does.
function closing(text, run,    at, offset, after) {
    offset = 0
    while ((at = index(text, run)) > 0) {
        after = substr(text, at + length(run), 1)
        if (after != "`") return offset + at
        match(substr(text, at), /^`+/)
        offset += at + RLENGTH - 1; text = substr(text, at + RLENGTH)
    }
    return 0
}

# Fills plain text to the width: the first line after first, the others after
# rest.
function fill(text, first, rest,    words, n, i, line, prefix) {
    n = split(text, words, / +/)
    line = ""; prefix = first
    for (i = 1; i <= n; i++) {
        if (words[i] == "") continue
        if (line != "" && length(prefix line " " words[i]) > width) {
            emit(prefix line); line = ""; prefix = rest
        }
        line = line == "" ? words[i] : line " " words[i]
    }
    if (line != "") emit(prefix line)
}
function emit(line) { gsub(/\001/, " ", line); out(line) }

# A list item right below another, with no blank line between, stays tight.
function flush_paragraph() {
    if (paragraph == "") return
    separate(tight ? 0 : 1)
    tight = 0
    fill(inline(paragraph), first_prefix, rest_prefix)
    paragraph = ""
}

# The cells of a table row, split at each | that is not escaped.
function cells(row, cell,    n, i) {
    gsub(/\\\|/, "\002", row)
    sub(/^ *\|/, "", row); sub(/\| *$/, "", row)
    n = split(row, cell, /\|/)
    for (i = 1; i <= n; i++) {
        gsub(/\002/, "\\|", cell[i]); gsub(/^ +| +$/, "", cell[i])
    }
    return n
}

function flush_table(    r, j, n, columns, header, cell, label, text) {
    if (table_rows == 0) return
    columns = cells(table[1], header)
    for (r = 3; r <= table_rows; r++) {
        n = cells(table[r], cell)
        separate(1)
        fill(inline(cell[1]), "    ", "    ")
        for (j = 2; j <= n; j++) {
            text = inline(cell[j])
            if (text == "") continue
            if (columns < 3) { fill(text, "        ", "        "); continue }
            label = inline(header[j])
            label = toupper(substr(label, 1, 1)) substr(label, 2)
            fill(label ": " text, "        ", "          ")
        }
    }
    table_rows = 0
}

function flush() { flush_paragraph(); flush_table() }

# The text of a heading line, without its marks.
function heading_text(line,    text) {
    text = line; sub(/^#+[ \t]+/, "", text); sub(/[ \t]+#*[ \t]*$/, "", text)
    return text
}

# The anchor of a heading as the rendered Markdown page has it: lower case,
# punctuation dropped, spaces as hyphens.
function anchor(text) {
    text = tolower(text); gsub(/[^a-z0-9 _-]/, "", text); gsub(/ /, "-", text)
    return "#" text
}

# The first reading: the number of each section and part, by its anchor.
function count_heading(line,    level) {
    match(line, /^#+/); level = RLENGTH
    if (level == 2) { number[anchor(heading_text(line))] = ++sections; parts = 0 }
    else if (level > 2) number[anchor(heading_text(line))] = sections "." ++parts
}

function heading(line,    level, text) {
    match(line, /^#+/); level = RLENGTH
    text = inline(heading_text(line)); gsub(/\001/, " ", text)
    if (level == 1) { separate(1); out(text); out(repeat("=", length(text))); return }
    if (level == 2) { text = ++section ". " text; part = 0; separate(2); out(text); out(repeat("-", length(text))); return }
    text = section "." ++part ". " text
    separate(1); out(text); out(repeat("~", length(text)))
}

NR == FNR {
    if ($0 ~ /^[ \t]*```/) scanning_code = !scanning_code
    else if (!scanning_code && $0 ~ /^#+[ \t]/) count_heading($0)
    next
}

in_code {
    if ($0 ~ /^[ \t]*```/) { in_code = 0; next }
    line = $0
    if (substr(line, 1, code_indent) == spaces(code_indent)) line = substr(line, code_indent + 1)
    out(code_prefix line); next
}
/^[ \t]*```/ {
    flush(); separate(1)
    match($0, /^ */); code_indent = RLENGTH; code_prefix = spaces(code_indent + 4)
    in_code = 1; next
}
/^[ \t]*<!--/ { next }
/^[ \t]*$/ { flush(); in_item = 0; next }
/^#+[ \t]/ { flush(); heading($0); next }
/^[ \t]*\|/ { flush_paragraph(); table[++table_rows] = $0; next }
/^ *([-*]|[0-9]+\.) / {
    item_tight = in_item && paragraph != ""
    flush()
    tight = item_tight; in_item = 1
    match($0, /^ *([-*]|[0-9]+\.) +/)
    first_prefix = substr($0, 1, RLENGTH); rest_prefix = spaces(RLENGTH)
    paragraph = substr($0, RLENGTH + 1); next
}
{
    flush_table()
    text = $0; sub(/^[ \t]+/, "", text)
    # A paragraph indented under a list item keeps the indent of the item.
    if (paragraph == "") { match($0, /^ */); first_prefix = rest_prefix = spaces(RLENGTH) }
    paragraph = paragraph == "" ? text : paragraph " " text
}
END { flush() }
' "$1" "$1"

#!/usr/bin/env bash
# Checks manual pages as a reader gets them: groff warns of nothing, the NAME line is found by
# the whatis indexer, and the rendered text has no stray blank line inside an option's entry and
# no option whose description starts on a line of its own word ("cells" under --csv=semicolon).
set -euo pipefail
status=0
for page in "$@"; do
    name="$(basename "$page")"
    warnings="$( (zcat -f "$page" | groff -man -ww -z -Tutf8) 2>&1)"
    if [ -n "$warnings" ]; then
        echo "$name: groff: $warnings" >&2
        status=1
    fi
    lexgrog "$page" >/dev/null || { echo "$name: no NAME line for whatis" >&2; status=1; }
    text="$(zcat -f "$page" | MANWIDTH=80 man -l -Tutf8 - 2>/dev/null | col -b)"
    # An option line followed by a blank line: its description got lost or split off.
    # A description line, a blank line, and more of the same description: split in two.
    if awk 'prev ~ /^ {7}--?[A-Za-z]/ && $0 ~ /^[[:space:]]*$/ { bad = 1; print FILENAME ": " prev }
            pprev ~ /^\t/ && prev ~ /^[[:space:]]*$/ && $0 ~ /^\t/ { bad = 1; print FILENAME ": " pprev }
            { pprev = prev; prev = $0 } END { exit bad }' FILENAME="$name" <<<"$text" >&2; then :; else
        status=1
    fi
done
exit $status

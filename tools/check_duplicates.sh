#!/usr/bin/env bash
# Fails when a function or variable is defined by two objects of a static
# library, e.g. a module's real function and the stand-in it replaces
# (src/<module>/stand_ins.cpp). A program links only the archive members it
# needs, so the linker alone would let one definition silently shadow the
# other. Usage: check_duplicates.sh LIBRARY.a
set -euo pipefail
archive=$1
# Strong global definitions only: text, data, bss and read-only data. Inline
# functions, templates and other weak or unique symbols may repeat.
duplicates=$(nm -A -g --defined-only --format=posix "$archive" 2>/dev/null |
    awk '$3 ~ /^[TDBR]$/ {print $2}' | sort | uniq -d)
if [ -n "$duplicates" ]; then
    echo "$archive: defined twice:" >&2
    echo "$duplicates" | c++filt | sed 's/^/  /' >&2
    exit 1
fi

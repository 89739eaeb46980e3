#!/usr/bin/env bash
# Fails when a source file under src/ includes a header of a higher layer
# (tools/layers.txt). tools/layers_allow.txt lists the includes that may still
# point up ("src/FILE -> HEADER" lines); an entry that no longer occurs fails
# too, so the list only shrinks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

declare -A rank
n=0
while read -r line; do
    line=${line%%#*}
    [ -z "${line// /}" ] && continue
    for unit in $line; do rank[$unit]=$n; done
    n=$((n + 1))
done < tools/layers.txt

# The unit of a path below src/ ("world/step/step.h" -> world/step).
unit_of() {
    local p=$1
    case $p in
        world/*/*) p=${p#world/}; echo "world/${p%%/*}" ;;
        */*) echo "${p%%/*}" ;;
        *) echo "" ;;
    esac
}

declare -A allowed used
if [ -f tools/layers_allow.txt ]; then
    while read -r line; do
        line=${line%%#*}
        [ -z "${line// /}" ] && continue
        allowed["$line"]=1
    done < tools/layers_allow.txt
fi

status=0
while IFS= read -r file; do
    rel=${file#src/}
    from=$(unit_of "$rel")
    [ -z "$from" ] && continue # src/main.cpp sits on top of everything
    if [ -z "${rank[$from]+x}" ]; then
        echo "$file: folder $from has no place in tools/layers.txt" >&2
        status=1
        continue
    fi
    while IFS= read -r header; do
        to=$(unit_of "$header")
        [ -z "$to" ] && continue
        if [ -z "${rank[$to]+x}" ]; then
            echo "$file: includes $header, whose folder has no place in tools/layers.txt" >&2
            status=1
        elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
            key="$file -> $header"
            if [ -n "${allowed[$key]+x}" ]; then
                used["$key"]=1
            else
                echo "$file: includes $header, a layer above $from" >&2
                status=1
            fi
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src -name '*.h' -o -name '*.cpp' | sort)

for key in "${!allowed[@]}"; do
    if [ -z "${used[$key]+x}" ]; then
        echo "tools/layers_allow.txt: \"$key\" no longer occurs; remove it" >&2
        status=1
    fi
done

[ $status -eq 0 ] && echo "layers: every include points down"
exit $status

#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over our C++ files, on the compile commands
# of build/ (scripts/build.sh makes them), and fails on findings that
# scripts/clang-tidy-baseline.txt does not list. The baseline counts the findings of each check
# in each file, without line numbers, so that moving code changes nothing: a file fails when a
# check finds more in it than the baseline says, and always when clang cannot compile it.
#
#   scripts/check-tidy.sh [--all] [--update]
#
# Without --all, only the files changed since the baseline's last commit are analysed (and
# those that include a changed header), as CI does: all of them cost some 20 minutes of CPU.
# --update writes the counts of the files analysed into the baseline instead of failing.
set -euo pipefail
cd "$(dirname "$0")/.."
baseline=scripts/clang-tidy-baseline.txt
commands=build/compile_commands.json
all=false
update=false
for argument in "$@"; do
    case "$argument" in
    --all) all=true ;;
    --update) update=true ;;
    *)
        echo "usage: scripts/check-tidy.sh [--all] [--update]" >&2
        exit 2
        ;;
    esac
done
if [ ! -f "$commands" ]; then
    echo "check-tidy: no $commands; build first (scripts/build.sh)" >&2
    exit 2
fi

# Our files that the build compiles.
compiled() {
    git ls-files -- '*.cpp' | while read -r file; do
        if grep -qF "\"file\": \"$PWD/$file\"" "$commands"; then echo "$file"; fi
    done
}

# The files that include one of the given headers, directly or through other headers.
includers() {
    local pending=("$@") seen=" " header
    while [ ${#pending[@]} -gt 0 ]; do
        header="${pending[0]}"
        pending=("${pending[@]:1}")
        while read -r file; do
            [[ "$seen" == *" $file "* ]] && continue
            seen+="$file "
            echo "$file"
            if [[ "$file" == *.h ]]; then pending+=("$file"); fi
        done < <(git grep -l -F "/$(basename "$header")\"" -- '*.cpp' '*.h' || true)
    done
}

changedFiles() {
    local since
    since=$(git log -1 --format=%H -- "$baseline" 2>/dev/null || true)
    if [ -z "$since" ]; then
        compiled
        return
    fi
    mapfile -t changed < <(git diff --name-only "$since" -- '*.cpp' '*.h')
    mapfile -t headers < <(printf '%s\n' "${changed[@]}" | grep '\.h$' || true)
    {
        printf '%s\n' "${changed[@]}"
        [ ${#headers[@]} -eq 0 ] || includers "${headers[@]}"
    } | grep '\.cpp$' | sort -u | grep -Fx -f <(compiled) || true
}

if $all; then mapfile -t files < <(compiled); else mapfile -t files < <(changedFiles); fi
echo "check-tidy: ${#files[@]} files"
if [ ${#files[@]} -eq 0 ] && ! $update; then
    echo "check-tidy: nothing to analyse"
    exit 0
fi
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
# Warnings are not errors here, whatever the build made them: clang-tidy reports them itself.
printf '%s\n' "${files[@]}" |
    xargs -r -P "$(nproc)" -I{} sh -c 'clang-tidy -p build --quiet --extra-arg=-Wno-error "$1" \
        >"$2/$(echo "$1" | tr / _).log" 2>/dev/null || true' _ {} "$output"

# "file check count" for each file of ours and check, a finding in a header counted once
# however many files include it.
counted=$(cat "$output"/*.log 2>/dev/null |
    sed -n -E "s#^$PWD/([^:]+):([0-9]+):([0-9]+): (warning|error): .* \[([^],]+)[],].*#\1:\2:\3 \5#p" |
    sort -u |
    awk 'NR == FNR { ours[$0]; next }
         { split($1, place, ":"); if (place[1] in ours) count[place[1] " " $2]++ }
         END { for (key in count) print key, count[key] }' <(git ls-files -- '*.cpp' '*.h') - |
    sort)

if $update; then
    # The files analysed take their new counts; after a run over some files only, a header
    # keeps the larger count, as some of its includers were not analysed.
    {
        if ! $all; then
            grep -v '^#' "$baseline" 2>/dev/null | awk 'NR == FNR { analysed[$0]; next }
                !($1 in analysed)' <(printf '%s\n' "${files[@]}") - || true
        fi
        printf '%s\n' "$counted"
    } | awk 'NF == 3 { key = $1 " " $2
                       if ($1 !~ /\.h$/ || $3 > count[key]) count[key] = $3 }
             END { for (key in count) print key, count[key] }' | sort >"$output/new"
    {
        echo "# clang-tidy findings (file check count) that predate scripts/check-tidy.sh or came"
        echo "# with merged work; fix them as their files are touched (then --update)."
        # The date makes every update a change to commit: the commit is where CI starts.
        echo "# Brought up to date $(date -u '+%Y-%m-%d %H:%M') UTC."
        cat "$output/new"
    } >"$baseline"
    echo "check-tidy: $(wc -l <"$output/new") entries in $baseline"
    exit 0
fi

failed=""
while read -r file check count; do
    [ -n "$file" ] || continue
    allowed=$(awk -v f="$file" -v c="$check" '$1 == f && $2 == c { print $3 }' "$baseline")
    if [ "$check" = clang-diagnostic-error ] || [ "$count" -gt "${allowed:-0}" ]; then
        failed+="$file $check: $count (baseline ${allowed:-0})"$'\n'
        grep -h -A2 -F "$PWD/$file:" "$output"/*.log | grep -F -A2 "[$check" >&2 || true
    fi
done <<<"$counted"
if [ -n "$failed" ]; then
    printf 'check-tidy: new findings:\n%s' "$failed" >&2
    exit 1
fi
echo "check-tidy: no new findings"

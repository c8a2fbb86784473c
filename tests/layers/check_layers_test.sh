#!/usr/bin/env bash
# The layer check on small trees made here: an include from a lower layer into a higher one
# fails and is named with its file and line; includes downwards and within a layer pass. Given
# a Ninja build folder, also that building one layer's library compiles no file of a higher
# layer. Usage: check_layers_test.sh [BUILD_DIR]. The last line reads
# "layer check: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check=$root/cmake/check-layers.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
verdict() {  # yes or not, what passed, what failed
    if [ "$1" = yes ]; then
        passed=$((passed + 1))
        echo "PASS $2"
    else
        failed=$((failed + 1))
        echo "FAIL $3"
    fi
}

# including file | included file | expected: pass, or fail with the offence's text
cases=(
    "runtime/low.cpp|objects/high.h|fail|runtime/low.cpp:2: runtime includes objects/high.h"
    "puzzle/pegs.h|ui/scene.h|fail|puzzle/pegs.h:2: puzzle includes ui/scene.h"
    "platform/user/a.cpp|runtime/memory.h|fail|platform includes runtime/memory.h"
    "resources/icons.cpp|objects/item.h|fail|resources/icons.cpp:2: platform includes"
    "program/main.cpp|ui/scene.h|pass|"
    "objects/item.cpp|runtime/memory.h|pass|"
    "ui/scene.cpp|ui/images.h|pass|"
)
for row in "${cases[@]}"; do
    IFS='|' read -r including included expected offence <<<"$row"
    tree=$work/$passed.$failed
    mkdir -p "$tree/$(dirname "$including")" "$tree/$(dirname "$included")"
    : >"$tree/$included"
    printf '// a file of the test tree\n#include "%s"\n' "$included" >"$tree/$including"
    output=$(python3 "$check" --root "$tree")
    code=$?
    if [ "$expected" = pass ]; then
        ok=$([ $code -eq 0 ] && echo yes)
    else
        ok=$([ $code -eq 1 ] && grep -qF "$offence" <<<"$output" && echo yes)
    fi
    verdict "$ok" "$including -> $included: $expected" \
        "$including -> $included: expected $expected, exit $code: $output"
done

# Each layer's library, built alone, compiles files of its own and lower layers only.
build=${1:-}
if [ -n "$build" ]; then
    layers=(runtime objects puzzle ui program)
    for i in "${!layers[@]}"; do
        higher=("${layers[@]:$((i + 1))}")
        compiled=$(ninja -C "$build" -t commands "hanoi_${layers[$i]}" | grep -oE ' -c [^ ]+' |
            sed 's/ -c //')
        pattern="^$root/($(IFS='|'; echo "${higher[*]:-none}"))/"
        stray=$(grep -E "$pattern" <<<"$compiled")
        verdict "$([ -n "$compiled" ] && [ -z "$stray" ] && echo yes)" \
            "hanoi_${layers[$i]} compiles nothing of ${higher[*]:-a higher layer}" \
            "hanoi_${layers[$i]} compiles: ${stray:-nothing at all}"
    done
fi
echo "layer check: $passed passed, $failed failed"
[ $failed -eq 0 ]

#!/usr/bin/env bash
# The Windows build folder whose programs Wine runs on this machine: $HANOI_WINDOWS_BUILD when
# set, else the one cmake/wine-width.sh chooses (build/windows for the 32-bit build,
# build/windows64 for the 64-bit one). Exit 1 with the reason when Wine cannot run either.
set -uo pipefail
if [ -n "${HANOI_WINDOWS_BUILD:-}" ]; then
    echo "$HANOI_WINDOWS_BUILD"
    exit 0
fi
report=$("$(dirname "$0")/wine-width.sh") || { echo "$report" >&2; exit 1; }
read -r _ folder <<<"$report"
echo "build/$folder"

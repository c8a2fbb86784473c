#!/usr/bin/env bash
# Checks that the packages are reproducible: packaging/build-packages.sh here (build/packages)
# and again in a fresh clone of the same commit in another folder, later, with another umask,
# time zone and locale, then every package of the first folder against the second, byte for
# byte. Local changes to tracked files go into the clone too. Where a package differs,
# diffoscope (Debian diffoscope-minimal) shows where; without it, cmp gives the first bytes.
# Usage: packaging/check-reproducible.sh              both builds, then the comparison
#        packaging/check-reproducible.sh rebuild OUT  only the build in a fresh clone, into OUT
#        packaging/check-reproducible.sh compare A B  only the comparison: "same NAME",
#                                                     "differs NAME" or "missing NAME" a line
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

rebuild() {  # packages folder
    local out clone
    out=$(realpath -m "$1")
    clone=$root/build/reproduce/second-clone
    rm -rf "$clone"
    mkdir -p "$(dirname "$clone")"
    git -C "$root" clone --quiet --no-checkout "$root" "$clone" &&
        git -C "$clone" checkout --quiet --detach "$(git -C "$root" rev-parse HEAD)" || return 1
    git -C "$root" diff HEAD --binary | git -C "$clone" apply --allow-empty || return 1
    rm -rf "$out"
    # What build-packages.sh must pin down differs from the first build's surroundings. The
    # arm64 root is the same toolchain input for both builds, so the clone uses the first one's.
    export HANOI_AARCH64_SYSROOT=${HANOI_AARCH64_SYSROOT:-$root/build/aarch64-sysroot}
    (cd "$clone" && umask 002 && TZ=Pacific/Chatham LC_ALL=C HANOI_JOBS="${HANOI_JOBS:-2}" \
        packaging/build-packages.sh "$out")
}

compare() {  # first folder, second folder
    local name different=0
    [ -n "$(ls "$1")" ] || { echo "missing any package in $1"; return 1; }
    for name in $( (ls "$1"; ls "$2") | sort -u); do
        if [ ! -f "$1/$name" ] || [ ! -f "$2/$name" ]; then
            echo "missing $name"
        elif cmp -s "$1/$name" "$2/$name"; then
            echo "same $name"
            continue
        else
            echo "differs $name"
            if command -v diffoscope >/dev/null; then
                timeout 300 diffoscope --text - --max-text-report-size 200000 \
                    "$1/$name" "$2/$name"
            else
                echo "(diffoscope is not installed: the first differing bytes)"
                cmp -l "$1/$name" "$2/$name" | head -20
            fi
        fi
        different=1
    done
    return $different
}

case ${1:-} in
    rebuild) rebuild "$2" ;;
    compare) compare "$2" "$3" ;;
    "")
        "$root/packaging/build-packages.sh" "$root/build/packages" &&
            rebuild "$root/build/reproduce/packages" &&
            compare "$root/build/packages" "$root/build/reproduce/packages" ;;
    *) echo "usage: $0 [rebuild OUT | compare FIRST SECOND]" >&2; exit 2 ;;
esac

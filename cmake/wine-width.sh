#!/usr/bin/env bash
# Tells which Windows build Wine runs on this machine, and why. The 32-bit build (the
# product) runs where the kernel executes 32-bit Linux programs, which 32-bit Wine is made
# of; where it refuses them, the 64-bit build runs under wine64, which needs none.
# Prints two lines: the width and its build folder under build/ ("i686 windows" or
# "x86_64 windows64"), then the reason. HANOI_WINE_WIDTH=i686 or
# x86_64 asks for one width. Exit 1 with the reason when the width cannot run here (Wine
# missing or broken: an install fault, never a reason to skip).
here=$(dirname "$0")
wine64=/usr/lib/wine/wine64

can_run_64() {
    [ -x "$wine64" ] || { echo "wine64 is missing: install the wine64 package"; return 1; }
}

case ${HANOI_WINE_WIDTH:-} in
    i686)
        reason=$("$here/wine-can-run.sh") || { echo "$reason"; exit 1; }
        printf 'i686 windows\nasked for by HANOI_WINE_WIDTH\n'
        exit 0 ;;
    x86_64)
        can_run_64 || exit 1
        printf 'x86_64 windows64\nasked for by HANOI_WINE_WIDTH\n'
        exit 0 ;;
    "") ;;
    *)
        echo "HANOI_WINE_WIDTH must be i686 or x86_64, not $HANOI_WINE_WIDTH"
        exit 1 ;;
esac

reason=$("$here/wine-can-run.sh")
case $? in
    0) printf 'i686 windows\nthis machine runs 32-bit programs: the 32-bit build, the product\n' ;;
    77)
        can_run_64 || exit 1
        printf 'x86_64 windows64\n%s; the 64-bit build runs under wine64 instead\n' "$reason" ;;
    *) echo "$reason"; exit 1 ;;
esac

#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, creating the prefix on first use.
# The program's own width chooses the Wine: a 64-bit program runs under wine64 in a 64-bit
# prefix, a 32-bit one under 32-bit Wine. A prefix serves one width only.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]. With HANOI_WINE_START set (switches of Wine's
# start command, e.g. "/min") the program is started through "start /wait SWITCHES", so that
# it gets the show state they ask for; the exit code is still the program's.
set -euo pipefail
prefix=$1
program=$2
shift

# The machine field of the program's PE header: 8664 for x86-64, 014c for i386.
pe_offset=$(od -An -t u4 -j 60 -N 4 "$program" | tr -d ' ')
machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$program" | tr -d ' ')
if [ "$machine" = 8664 ]; then
    wine=/usr/lib/wine/wine64
    [ -x "$wine" ] || { echo "Wine cannot run here: wine64 is missing" >&2; exit 1; }
    export WINEARCH=win64 WINELOADER=$wine
else
    reason=$("$(dirname "$0")/wine-can-run.sh") || {
        code=$?
        echo "Wine cannot run here: $reason" >&2
        exit $code
    }
    wine=wine
    export WINEARCH=win32
fi
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}  # a caller may ask for channels
# No Mono or Gecko install dialogs while the prefix is made, and no menu entries or file
# types written into this machine's own desktop (~/.local/share, ~/.config/menus).
overrides="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEDLLOVERRIDES="$overrides${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        "$wine" wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
    # An unhandled exception prints its stack (winedbg --auto) and ends the process; without
    # this, Wine's crash dialog waits for a click that never comes.
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$prefix/user.reg" 2>/dev/null; then
        "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1 || true
        wineserver -w || true
    fi
) 9>"$prefix.lock"

# On an unhandled exception the program prints its own report ("crash report: ...", see
# runtime/crash_filter.h) or, for programs without it, Wine prints "wine: Unhandled ..." and
# winedbg the stack; the exit code of a process ending that way is now and then 0 under Wine.
# So the program's standard error is kept here, passed on as it comes (callers read Wine's
# traces while the program runs), and either report makes a crash fail. It goes to a file that
# tail follows until the program has ended, not through a pipe: Wine's services, when the
# program's start is what starts them, inherit its standard error and live on after it, and a
# pipe they hold open would never end.
[ -n "${HANOI_WINE_START:-}" ] && set -- start /wait $HANOI_WINE_START /unix "$@"
report=$(mktemp)
trap 'rm -f "$report"' EXIT
set +e
"$wine" "$@" 2>"$report" <&0 &
program=$!
tail -n +1 -s 0.1 -f --pid=$program "$report" >&2 &
follower=$!
wait $program
code=$?
wait $follower  # its last read comes after the program's end
if [ $code -eq 0 ] && grep -qE '^(wine: Unhandled |crash report: )' "$report"; then
    echo "wine-run.sh: the program ended with an unhandled exception (see its stack above)" >&2
    code=3
fi
exit $code

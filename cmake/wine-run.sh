#!/usr/bin/env bash
# Runs a Windows program under Wine in the given prefix, creating the prefix on first use.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
set -euo pipefail
reason=$("$(dirname "$0")/wine-can-run.sh") || { code=$?; echo "Wine cannot run here: $reason" >&2; exit $code; }
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}  # a caller may ask for channels
# No Mono or Gecko install dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
) 9>"$prefix.lock"
exec wine "$@"

#!/usr/bin/env bash
# apt-get update with the options given, tried up to five times. A mirror in the middle of a
# sync serves lists that fail their checksums for a while; after the last try this goes on
# with what was fetched, and the install that follows says what it could not find.
# Usage: cmake/apt-update.sh [apt-get options...]
set -uo pipefail
for attempt in 1 2 3 4 5; do
    apt-get "$@" update && exit 0
    echo "apt-get update failed (attempt $attempt of 5)" >&2
    [ "$attempt" -eq 5 ] || sleep 20
done
exit 0

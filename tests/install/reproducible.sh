# Reproducible packages (sourced by tests/install/run.sh, which gives $root, $out, check/pass/
# fail): a second build of every package from a fresh clone in another folder, started in the
# background while the other checks mostly wait for Wine and the X server, then compared byte
# for byte with the first; diffoscope's account of any difference goes to the log.

start_second_build() {  # packages folder of the second build
    second_packages=$1
    local begin=$SECONDS
    (
        # Its own process group, so that an early end of the test can stop the whole build.
        nice setsid "$root/packaging/check-reproducible.sh" rebuild "$second_packages" \
            >"$out/second-build.log" 2>&1 &
        echo $! >"$out/second-build.pid"
        wait $!
        echo "$? $((SECONDS - begin))" >"$out/second-build.code"
    ) &
    second_build=$!
}
stop_second_build() {  # when the test ends before the comparison
    [ -n "${second_build:-}" ] && kill -0 "$second_build" 2>/dev/null &&
        kill -- -"$(cat "$out/second-build.pid")" 2>/dev/null
}

check_second_build() {  # packages folder of the first build
    local code seconds verdict name
    wait "$second_build"
    read -r code seconds <"$out/second-build.code"
    if [ "$code" -ne 0 ]; then
        tail -n 40 "$out/second-build.log"
        fail "the second build, in a fresh clone (log: $out/second-build.log)"
        return
    fi
    echo "second build: ${seconds} s in the background"
    "$root/packaging/check-reproducible.sh" compare "$1" "$second_packages" >"$out/reproducible.txt"
    grep -v -E '^(same|differs|missing) ' "$out/reproducible.txt"  # diffoscope: where they differ
    while read -r verdict name; do
        case $verdict in
            same) pass "reproducible: $name is byte-identical from a fresh clone elsewhere" ;;
            differs) fail "reproducible: $name differs from a fresh clone's (diffoscope above)" ;;
            missing) fail "reproducible: $name is made by one of the two builds only" ;;
        esac
    done < <(grep -E '^(same|differs|missing) ' "$out/reproducible.txt")
}

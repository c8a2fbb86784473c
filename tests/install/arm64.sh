# The arm64 Debian package; sourced by tests/install/run.sh (its checks, display, folders and
# start_and_close). Its fields, the same files as this machine's package, an aarch64 program,
# Depends naming the package of every library that program needs (looked up in the arm64
# root's unpacked packages), lintian without errors or warnings, and the packaged program
# started under qemu-aarch64 and closed.
arm64_deb=$(ls "$packages"/hanoi_*_arm64.deb 2>/dev/null)
sysroot=${HANOI_AARCH64_SYSROOT:-$root/build/aarch64-sysroot}
arm64_checks() {
    check "an arm64 .deb in build/packages" test -f "$arm64_deb" || return
    local field
    for field in Package=hanoi Section=games Architecture=arm64 Version="$version"; do
        check "arm64 .deb: ${field%%=*} is ${field#*=}" \
            test "$(dpkg-deb -f "$arm64_deb" "${field%%=*}")" = "${field#*=}"
    done
    dpkg-deb --contents "$arm64_deb" | awk '{print $6}' | sort >"$out/deb-arm64-files.txt"
    check "arm64 .deb: the same files as the $(dpkg --print-architecture) package" \
        diff <(awk '{print $6}' "$out/deb-contents.txt" | sort) "$out/deb-arm64-files.txt"
    local unpacked=$out/deb-arm64 program
    mkdir -p "$unpacked"
    dpkg-deb -x "$arm64_deb" "$unpacked"
    program=$unpacked/usr/games/hanoi
    check "arm64 .deb: /usr/games/hanoi is a stripped aarch64 program" \
        grep -q 'ARM aarch64.*, stripped$' <(file -b "$program")
    local depends names library owner
    depends=$(dpkg-deb -f "$arm64_deb" Depends)
    echo "arm64 Depends: $depends"
    names=$(sed -E 's/ \([^)]*\)//g; s/ *[,|] */\n/g' <<<"$depends")
    for library in $(program_libraries "$program" aarch64-linux-gnu-objdump); do
        owner=$(ls -d "$sysroot"/pkgs/*/{,usr/}lib/aarch64-linux-gnu/"$library" 2>/dev/null |
            head -1 | sed -E "s|^$sysroot/pkgs/([^/]+)/.*|\\1|")
        check "arm64 Depends names ${owner:-(no arm64 package holds it)}, which holds $library" \
            grep -qxF "${owner:-?}" <<<"$names"
    done
    check "arm64 Depends bounds libc6 by the symbols the program uses" \
        grep -qE '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends"
    lintian --display-info --pedantic "$arm64_deb" >"$out/lintian-arm64.txt" 2>&1
    grep -E '^[EWIP]: ' "$out/lintian-arm64.txt" | sed 's/^/lintian arm64: /'
    local errors warnings
    errors=$(grep -c '^E: ' "$out/lintian-arm64.txt")
    warnings=$(grep -c '^W: ' "$out/lintian-arm64.txt")
    check "lintian on the arm64 .deb: $errors errors, $warnings warnings" \
        test "$errors" -eq 0 -a "$warnings" -eq 0
    start_and_close "the arm64 package's program under qemu-aarch64" "$out/arm64.log" \
        HanoisClass env -C / qemu-aarch64 -L "$sysroot" "$program"
}
arm64_checks

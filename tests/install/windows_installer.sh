# The Windows Installer package under Wine (sourced by tests/install/run.sh, which gives
# $root, $out, check/pass/fail and start_and_close). In a fresh prefix: msiexec /i /qn installs
# the program and its Start-menu shortcut and lists it among the installed programs; the
# installed program starts and closes with 0; the same package again changes nothing; a newer
# version replaces it; an older one refuses to go over it; msiexec /x /qn leaves the prefix's
# files and registry as they were (prefix_snapshot.py).
# Where this machine runs 32-bit programs this is 32-bit Wine in a 32-bit prefix; elsewhere
# wine64 in a 64-bit prefix installs the 32-bit package as 64-bit Windows does, into
# Program Files (x86), and only the program's start is left out, with the reason.

# Chooses the Wine for the prefix: sets msi_env, msi_wine, msi_program_files and msi_no_start
# (why the program cannot start here, or empty); else sets msi_no_wine (why) and fails.
choose_installer_wine() {  # prefix
    local reason code
    reason=$("$root/cmake/wine-can-run.sh")
    code=$?
    # No Mono or Gecko dialogs, and no menu entries in this machine's own desktop menus.
    msi_env=(WINEPREFIX="$1" WINEDEBUG=-all
             WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    case $code in
        0)
            msi_env+=(WINEARCH=win32)
            msi_wine=wine msi_program_files="Program Files" msi_no_start="" ;;
        77)
            [ -x /usr/lib/wine/wine64 ] || { msi_no_wine="wine64 is missing"; return 1; }
            msi_env+=(WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64)
            msi_wine=/usr/lib/wine/wine64 msi_program_files="Program Files (x86)"
            msi_no_start=$reason ;;
        *) msi_no_wine=$reason; return 1 ;;
    esac
}
in_prefix() {  # command...: runs it in the prefix and returns its exit code once Wine is idle
    local code
    env "${msi_env[@]}" "$@" >>"$out/msiexec.log" 2>&1
    code=$?
    env "${msi_env[@]}" wineserver -w  # the registry is on disk once the server has ended
    return $code
}
run_msiexec() {  # package, then msiexec's options
    local package=$1
    shift
    in_prefix "$msi_wine" msiexec "$@" "Z:${package//\//\\}" /qn
}
msi_property() {  # package, name: the value in its Property table (exported with CR LF)
    msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v p="$2" '$1 == p {print $2}'
}
our_entries() {  # the installed-programs entries named Towers of Hanoi
    python3 "$root/tests/install/prefix_snapshot.py" programs "$prefix" |
        awk -F'\t' '$2 == "Towers of Hanoi"'
}
# The start menu's Programs folder holds the shortcut: the machine's for a per-machine
# install; Wine's Windows Installer puts it in the user's even then.
shortcut_path() {
    find "$prefix/drive_c/ProgramData" "$prefix/drive_c/users" -path \
        '*/Start Menu/Programs/Towers of Hanoi.lnk' 2>/dev/null | head -1
}

# The .msi, the .zip's hanoi.exe (the same program), the prefix folder.
check_windows_installer() {
    local msi=$1 zip_program=$2 prefix=$3 version newer newer_msi older_code folder program
    local shortcut code
    version=$(msi_property "$msi" ProductVersion)
    check "the .msi installs per machine (ALLUSERS=1)" test "$(msi_property "$msi" ALLUSERS)" = 1
    newer=$(awk -F. -v OFS=. '{$3++; print}' <<<"$version")
    "$root/packaging/windows-installer.sh" "$root/build/package-windows" "$out/newer" \
        "$newer" >"$out/newer-msi.log" 2>&1 || { fail "a .msi of version $newer"; return; }
    newer_msi=$out/newer/hanoi-$newer-windows-i686.msi
    choose_installer_wine "$prefix" || { fail "Wine for the .msi: $msi_no_wine"; return; }
    in_prefix "$msi_wine" wineboot -i
    # As cmake/wine-run.sh does in a new prefix, so that starting the program adds nothing.
    in_prefix "$msi_wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
        /d 0 /f
    python3 "$root/tests/install/prefix_snapshot.py" take "$prefix" "$out/prefix-before.txt"

    check "msiexec /i the .msi /qn ends with 0" run_msiexec "$msi" /i
    folder="$prefix/drive_c/$msi_program_files/Towers of Hanoi"
    program=$folder/hanoi.exe
    check "installed: C:\\$msi_program_files\\Towers of Hanoi\\hanoi.exe, the .zip's program" \
        cmp -s "$program" "$zip_program"
    shortcut=$(shortcut_path)
    check "installed: the Start-menu shortcut \"Towers of Hanoi\" (${shortcut#"$prefix/"})" \
        test -f "$shortcut"
    check "the shortcut starts the installed hanoi.exe" \
        grep -qaF "Towers of Hanoi\\hanoi.exe" <(tr -d '\0' <"$shortcut")
    check "one installed-programs entry: Towers of Hanoi $version, The Towers of Hanoi developers" \
        test "$(our_entries | cut -f2-)" = \
        "$(printf 'Towers of Hanoi\t%s\tThe Towers of Hanoi developers' "$version")"
    if [ -z "$msi_no_start" ]; then
        start_and_close "hanoi.exe installed by the .msi" "$out/msi-start.log" "" \
            env -C "$folder" "$root/cmake/wine-run.sh" "$prefix" "$program"
    else
        echo "the installed program not started: $msi_no_start"
    fi

    check "msiexec /i the same .msi again ends with 0" run_msiexec "$msi" /i
    check "... and leaves one entry, version $version, and the program" \
        test "$(our_entries | cut -f3)" = "$version" -a -f "$program"
    older_code=$(our_entries | cut -f1)
    check "msiexec /i a .msi of version $newer ends with 0" run_msiexec "$newer_msi" /i
    check "... and replaces $version: one entry, version $newer, another product code" \
        test "$(our_entries | cut -f3)" = "$newer" -a "$(our_entries | cut -f1)" != "$older_code"
    check "... with the program and its shortcut in place" test -f "$program" -a -f "$shortcut"
    run_msiexec "$msi" /i
    code=$?
    # ERROR_INSTALL_FAILURE (1603), of which an exit status keeps the low byte.
    check "msiexec /i version $version over $newer refuses with 1603 (exit status $code)" \
        test $code -eq $((1603 % 256))
    check "... and leaves $newer installed" test "$(our_entries | cut -f3)" = "$newer"

    check "msiexec /x the .msi of version $newer /qn ends with 0" run_msiexec "$newer_msi" /x
    python3 "$root/tests/install/prefix_snapshot.py" take "$prefix" "$out/prefix-after.txt"
    check "after msiexec /x: no file, shortcut, registry key or value left behind" \
        python3 "$root/tests/install/prefix_snapshot.py" left "$out/prefix-before.txt" \
        "$out/prefix-after.txt"
}

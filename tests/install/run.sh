#!/usr/bin/env bash
# The installed program and its packages: builds the packages (packaging/build-packages.sh),
# installs the portable host into a fresh prefix whose path holds a space and starts it there
# through its desktop entry in a private Xvfb; validates the desktop entry, the AppStream
# file, the icons and the manual page; inspects the Debian package (its files, dependencies
# computed from the binary, lintian), the arm64 one (tests/install/arm64.sh), the Windows .zip
# (its files, the import table of hanoi.exe, and a start from the unpacked folder in a fresh
# Wine prefix where Wine can run 32-bit programs) and the .msi under Wine
# (windows_installer.sh); builds every package again from a fresh clone and compares the bytes
# (reproducible.sh). Logs go to build/install-test/. The last line reads
# "install: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/install-test
packages=$root/build/packages
app_id=io.github.hanoi.Hanoi
rm -rf "$out"
mkdir -p "$out"
source "$root/tests/e2e/x_session.sh"
source "$root/tests/install/windows_installer.sh"
source "$root/tests/install/reproducible.sh"
finish() {
    echo "install: $passed passed, $failed failed"
    [ $failed -eq 0 ]
    exit
}

# The sizes of the application icon: the group 1 pictures of resources/.
sizes=$(ls "$root"/resources/group1/app-*.png | sed -E 's/.*app-([0-9]+)\.png/\1/' | sort -n)

# --- the packages ------------------------------------------------------------------------------
rm -rf "$packages"
if ! "$root/packaging/build-packages.sh" "$packages" >"$out/build.log" 2>&1; then
    tail -n 40 "$out/build.log"
    fail "packaging/build-packages.sh (log: $out/build.log)"
    finish
fi
deb=$(ls "$packages"/hanoi_*_"$(dpkg --print-architecture)".deb 2>/dev/null)
zip=$(ls "$packages"/hanoi-*-windows-i686.zip 2>/dev/null)
msi=$(ls "$packages"/hanoi-*-windows-i686.msi 2>/dev/null)
check "one .deb, one Windows .zip and one .msi in build/packages" \
    test -f "$deb" -a -f "$zip" -a -f "$msi"
start_second_build "$out/second-packages"

# --- the display --------------------------------------------------------------------------------
start_display 141 190 "$out/xvfb.log"
wineprefix=$out/wineprefix
cleanup() {  # the fresh Wine prefix is over half a gigabyte: it goes with the run
    if [ -d "$wineprefix" ]; then
        WINEPREFIX=$wineprefix wineserver -k >/dev/null 2>&1
        rm -rf "$wineprefix" "$wineprefix.lock"
    fi
    stop_display
    stop_second_build
}
trap cleanup EXIT

close_tool=$root/build/portable/tests/e2e/x11_close
[ -x "$close_tool" ] || cmake --build "$root/build/portable" --target x11_close >/dev/null 2>&1 ||
    { fail "missing $close_tool (configure build/portable first)"; finish; }

# Starts a command in the background (description, log file, expected WM_CLASS or "", then the
# command), waits for its window, checks the window class when one is given, closes the
# window and checks that the program ends with exit code 0.
start_and_close() {
    local what=$1 log=$2 class=$3 window pid code
    shift 3
    "$@" >"$log" 2>&1 &
    pid=$!
    if window=$(window_id "Towers of Hanoi" 60); then
        pass "$what: the window \"Towers of Hanoi\" appears"
        if [ -n "$class" ]; then
            check "$what: its WM_CLASS is the entry's StartupWMClass $class" \
                grep -qF "\"$class\"" <(xprop -id "$window" WM_CLASS)
        fi
        sleep 1
        "$close_tool" "$window"
        wait_exit $pid 20
        code=$?
        check "$what: a close ends it with exit code 0 (got $code)" test $code -eq 0
    else
        fail "$what: no window \"Towers of Hanoi\" within 60 s (log: $log)"
        kill -9 $pid 2>/dev/null
        wait $pid 2>/dev/null
    fi
}
quiet() {  # log file, command...: its output goes to the log, and is shown when it fails
    local log=$1
    shift
    "$@" >"$log" 2>&1 || { cat "$log"; return 1; }
}
entry_value() { sed -n "s/^$1=//p" "$2" | head -1; }  # key, desktop entry
# The program an Exec line names, its quoting and escaping undone (Desktop Entry rules).
exec_program() {
    python3 -c 'import shlex, sys; print(shlex.split(sys.argv[1].replace("\\\\", "\\"))[0])' "$1"
}
is_png_of_size() {  # file, size
    [ "$(identify -format '%m %wx%h' "$1" 2>/dev/null)" = "PNG $2x$2" ]
}
man_page_clean() {  # compressed page: formats without a warning and names the program
    local warnings
    warnings=$(man --warnings -l "$1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings"; return 1; }
    MANWIDTH=80 man -l "$1" 2>/dev/null | grep -q 'hanoi - the Towers of Hanoi'
}

# --- cmake --install into a prefix -----------------------------------------------------------
prefix="$out/install root"  # a space: the desktop entry must quote the program's path
check "cmake --install --prefix (a path with a space)" \
    cmake --install "$root/build/package" --prefix "$prefix" >"$out/install.log" 2>&1
installed=(bin/hanoi "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
           share/man/man6/hanoi.6.gz share/doc/hanoi/copyright share/doc/hanoi/changelog.gz)
for size in $sizes; do installed+=("share/icons/hicolor/${size}x$size/apps/$app_id.png"); done
for file in "${installed[@]}"; do
    check "installed: $file" test -f "$prefix/$file"
done
check "installed: bin/hanoi is executable" test -x "$prefix/bin/hanoi"
entry=$prefix/share/applications/$app_id.desktop
check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$entry"
check "the desktop entry is in category Game" grep -qE '^Categories=(.*;)?Game;' "$entry"
check "the desktop entry's icon is the application id" \
    test "$(entry_value Icon "$entry")" = "$app_id"
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
check "appstreamcli validate --no-net accepts the AppStream file" \
    quiet "$out/appstream.txt" appstreamcli validate --no-net "$metainfo"
check "the AppStream file launches the desktop entry" grep -qF \
    "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
for size in $sizes; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png
    check "the ${size}x$size icon is a PNG of ${size}x$size" is_png_of_size "$icon" "$size"
done
check "man 6 hanoi formats without warnings" man_page_clean "$prefix/share/man/man6/hanoi.6.gz"

# The menu's way to start it: the entry's Exec, from another folder, the prefix not on PATH.
program=$(exec_program "$(entry_value Exec "$entry")")
check "the desktop entry's Exec names the installed program ($program)" \
    test "$program" = "$prefix/bin/hanoi"
start_and_close "installed program, started as its desktop entry says" "$out/installed.log" \
    "$(entry_value StartupWMClass "$entry")" env -C / PATH=/usr/bin:/bin "$program"

# --- the Debian package ------------------------------------------------------------------------
dpkg-deb --info "$deb" >"$out/deb-info.txt" 2>&1
dpkg-deb --contents "$deb" >"$out/deb-contents.txt" 2>&1
for field in Package=hanoi Section=games Architecture="$(dpkg --print-architecture)"; do
    check "dpkg-deb --info: ${field%%=*} is ${field#*=}" \
        test "$(dpkg-deb -f "$deb" "${field%%=*}")" = "${field#*=}"
done
packaged=(./usr/games/hanoi)
for file in "${installed[@]:1}"; do packaged+=("./usr/$file"); done
for file in "${packaged[@]}"; do
    check "dpkg-deb --contents: $file" grep -qE " ${file//./\\.}\$" "$out/deb-contents.txt"
done
check "dpkg-deb --contents: nothing outside /usr/games and /usr/share" \
    test -z "$(awk '{print $6}' "$out/deb-contents.txt" |
        grep -vE '^\./(usr/?|usr/games/.*|usr/share/.*)$')"
# Every library the program links or loads itself (the sonames written in it) is named,
# with the package that holds it, in Depends.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depends_names=$(sed -E 's/ \([^)]*\)//g; s/ *[,|] */\n/g' <<<"$depends")  # one package a line
mkdir -p "$out/deb"
dpkg-deb -x "$deb" "$out/deb"
owner_of() {  # a library's path as ldd gives it: the package that holds it
    local candidate
    for candidate in "$1" "/usr$1" "${1#/usr}" "$(realpath "$1")"; do
        dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 | grep . && return 0
    done
    return 1
}
program_libraries() {  # $1: the program, $2: the objdump for its architecture
    { "${2:-objdump}" -p "$1" | awk '$1 == "NEEDED" {print $2}'
      strings "$1" | grep -xE 'lib[A-Za-z0-9_+-]+(-[0-9.]+)?\.so\.[0-9]+'; } | sort -u
}
for library in $(program_libraries "$out/deb/usr/games/hanoi"); do
    path=$(ldd "$out/deb/usr/games/hanoi" | awk -v l="$library" '$1 == l {print $3}')
    [ -n "$path" ] || path=$(ldconfig -p | awk -v l="$library" '$1 == l {print $NF; exit}')
    owner=$(owner_of "$path") || owner="(no package holds $path)"
    check "Depends names $owner, which holds $library" grep -qxF "$owner" <<<"$depends_names"
done
check "Depends bounds libc6 by the symbols the program uses" \
    grep -qE '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends"
check "the package's desktop entry starts /usr/games/hanoi" \
    test "$(entry_value Exec "$out/deb/usr/share/applications/$app_id.desktop")" = /usr/games/hanoi
check "the package's desktop entry validates" \
    desktop-file-validate "$out/deb/usr/share/applications/$app_id.desktop"
lintian --display-info --pedantic "$deb" >"$out/lintian.txt" 2>&1
grep -E '^[EWIP]: ' "$out/lintian.txt" | sed 's/^/lintian: /'
errors=$(grep -c '^E: ' "$out/lintian.txt")
check "lintian: no errors ($errors errors, $(grep -c '^W: ' "$out/lintian.txt") warnings)" \
    test "$errors" -eq 0

# One version everywhere it is written: the package's is the project's.
version=$(dpkg-deb -f "$deb" Version)
while IFS='|' read -r what file text; do
    check "$what names version $version" zgrep -qF "${text//@/$version}" "$out/deb/usr/share/$file"
done <<'EOF_VERSIONS'
the AppStream file's newest release|metainfo/io.github.hanoi.Hanoi.metainfo.xml|<release version="@"
the manual page|man/man6/hanoi.6.gz|"hanoi @"
the changelog's newest entry|doc/hanoi/changelog.gz|hanoi (@)
EOF_VERSIONS

# --- the arm64 Debian package -------------------------------------------------------------------
source "$root/tests/install/arm64.sh"

# --- the Windows .zip --------------------------------------------------------------------------
unpacked=$out/windows
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
folder=$unpacked/$(basename "$zip" .zip)
for file in hanoi.exe README.txt; do
    check "the .zip holds $(basename "$zip" .zip)/$file" test -f "$folder/$file"
done
check "the .zip holds nothing else" test "$(find "$unpacked" -type f | wc -l)" -eq 2
check "the .zip's README.txt names version $version" \
    grep -qF "Towers of Hanoi $version for Windows" "$folder/README.txt"
i686-w64-mingw32-objdump -p "$folder/hanoi.exe" >"$out/hanoi.exe.headers" 2>&1
imports=$(awk '/DLL Name:/ {print $3}' "$out/hanoi.exe.headers" | tr '\n' ' ')
echo "hanoi.exe imports: $imports"
check "hanoi.exe is a 32-bit program" grep -q 'file format pei-i386' "$out/hanoi.exe.headers"
check "hanoi.exe is a Windows GUI program (no console)" \
    grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]+\(Windows GUI\)' "$out/hanoi.exe.headers"
check "hanoi.exe imports KERNEL32.dll" grep -qiw kernel32.dll <<<"$imports"
for dll in $imports; do
    case ${dll,,} in
        kernel32.dll | user32.dll | gdi32.dll | ole32.dll | oleaut32.dll | msvcrt.dll)
            pass "hanoi.exe imports $dll, which every Windows has" ;;
        *) fail "hanoi.exe imports $dll, which Windows does not have of itself" ;;
    esac
done
# --- the Windows Installer package, then the .zip's program in the prefix it left clean ------
check_windows_installer "$msi" "$folder/hanoi.exe" "$wineprefix"
reason=$("$root/cmake/wine-can-run.sh")
case $? in
    0)  # A new prefix holds only Wine's own DLLs: the program must need nothing from outside.
        start_and_close "hanoi.exe from the unpacked .zip, a fresh Wine prefix" "$out/wine.log" \
            "" env -C "$folder" "$root/cmake/wine-run.sh" "$wineprefix" "$folder/hanoi.exe" ;;
    77) echo "not started under Wine (the .zip holds the 32-bit program): $reason" ;;
    *) fail "Wine is missing or broken: $reason" ;;
esac

# --- the same packages from a fresh clone ------------------------------------------------------
check_second_build "$packages"

finish

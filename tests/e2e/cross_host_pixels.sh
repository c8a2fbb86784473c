#!/usr/bin/env bash
# The same scenes composed by our rasteriser (portable unit tests) and by the real GDI
# (the Windows unit tests under Wine), written as PNG and compared channel by channel. The
# largest difference of any channel of any pixel must be at most 2 (alpha rounding).
# The last line reads "cross-host pixels: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/e2e/cross_host
rm -rf "$out"
mkdir -p "$out/portable" "$out/windows"
HANOI_SCENE_PNG_DIR=$out/portable "$root/build/portable/tests/unit_tests" \
    --gtest_filter='ScenePixels.*' >"$out/portable.log" 2>&1
windows_build=$root/$("$root/cmake/windows-build.sh") || exit 1
echo "Windows build under Wine: $windows_build"
HANOI_SCENE_PNG_DIR="Z:${out//\//\\}\\windows" "$root/cmake/wine-run.sh" \
    "$windows_build/wineprefix" "$windows_build/tests/unit_tests.exe" \
    --gtest_filter='ScenePixels.*' >"$out/windows.log" 2>&1
passed=0
failed=0
largest=0
compared=""  # no figure to give when no pair of pictures was compared
for scene in empty start middle solved; do
    a=$out/portable/$scene.png
    b=$out/windows/$scene.png
    if [ ! -s "$a" ] || [ ! -s "$b" ]; then
        echo "FAIL $scene: picture missing"
        failed=$((failed + 1))
        continue
    fi
    # Peak absolute error, normalised to 0..1 in parentheses; as 8-bit channel steps:
    difference=$(compare -metric PAE "$a" "$b" null: 2>&1 |
        sed -E 's/.*\(([0-9.e+-]+)\).*/\1/' | awk '{printf "%d", $1 * 255 + 0.5}')
    echo "$scene: max channel difference $difference"
    compared=yes
    [ "$difference" -gt "$largest" ] && largest=$difference
    if [ "$difference" -le 2 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
[ -n "$compared" ] && echo "largest channel difference between the hosts: $largest (allowed 2)"
echo "cross-host pixels: $passed passed, $failed failed"
[ $failed -eq 0 ]

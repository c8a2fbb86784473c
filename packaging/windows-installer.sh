#!/usr/bin/env bash
# Makes the Windows Installer package of the 32-bit program with wixl (msitools) from a built
# Windows folder: OUT/hanoi-VERSION-windows-i686.msi, from hanoi.wxs and the hanoi.exe that
# `cmake --install --strip` puts in place (the same program as in the .zip).
# The same program, version and SOURCE_DATE_EPOCH make the same bytes: the cabinet dates its
# files by their times, which are set to SOURCE_DATE_EPOCH (in UTC), and the package code and
# the summary dates, which wixl takes from the random generator and the clock, are set after
# it (msi-summary.py). The product code is drawn from the version: one product per version.
# Usage: packaging/windows-installer.sh BUILD_FOLDER OUT_FOLDER [VERSION]
#   VERSION (default: the project's) packs the same program as another version (the install
#   test makes a newer package that way to check the upgrade).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")
out=$(realpath -m "$2")
version=${3:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct)}
export TZ=UTC
umask 022

stage=$build/installer
rm -rf "$stage"
cmake --install "$build" --prefix "$stage/files" --strip >"$stage.install.log" ||
    { cat "$stage.install.log"; exit 1; }
# wixl takes the files by paths relative to the folder it runs in.
cp "$here/../resources/group1.ico" "$stage/hanoi.ico"  # the application icon, as in the program
program=$stage/files/hanoi.exe
icon=$stage/hanoi.ico
touch -d "@$epoch" "$program"

upgrade_code=$(sed -n 's/.*UpgradeCode="\([0-9A-Fa-f-]*\)".*/\1/p' "$here/hanoi.wxs")
# The product code names one version; the package code one package, so it follows every
# input of the package.
read -r product_code package_code < <(python3 - "$upgrade_code" "$version" "$here/hanoi.wxs" \
    "$program" "$icon" <<'EOF'
import hashlib, sys, uuid
upgrade, version, *inputs = sys.argv[1:]
space = uuid.UUID(upgrade)
digest = hashlib.sha256(version.encode())
for path in inputs:
    digest.update(open(path, "rb").read())
print(uuid.uuid5(space, "product " + version), uuid.uuid5(space, "package " + digest.hexdigest()))
EOF
)

name=hanoi-$version-windows-i686.msi
mkdir -p "$out"
(cd "$stage" && wixl --arch x86 -D Version="$version" -D ProductCode="$product_code" \
    -D Program=files/hanoi.exe -D Icon=hanoi.ico -o "$name" "$here/hanoi.wxs")
python3 "$here/msi-summary.py" "$stage/$name" "$package_code" "$epoch"
mv "$stage/$name" "$out/$name"
echo "Windows Installer package: $out/$name"

#!/usr/bin/env bash
# Builds the packages from the Release configuration of both hosts into one folder
# (build/packages, or the folder given): the Debian packages of the portable host (this
# machine's architecture, and arm64 by packaging/build-arm64-package.sh) and the .zip of the
# 32-bit Windows program. Only the program and what is installed with it are built, in
# build/package, build/package-aarch64 and build/package-windows. Incremental on re-runs.
# Usage: packaging/build-packages.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/packages}")
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DHANOI_PROGRAM_ONLY=ON
        -DHANOI_PACKAGE_DIRECTORY="$out")
cmake -S . -B build/package "${common[@]}" >/dev/null
cmake -S . -B build/package-windows "${common[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    >/dev/null
mkdir -p "$out"
for folder in build/package build/package-windows; do
    cmake --build "$folder" -j "${HANOI_JOBS:-2}" --target package
done
packaging/build-arm64-package.sh "$out"
rm -rf "$out/_CPack_Packages"  # CPack's staging folders
ls -l "$out"

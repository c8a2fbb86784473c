#!/usr/bin/env bash
# Builds the packages from the Release configuration of both hosts into one folder
# (build/packages, or the folder given): the Debian packages of the portable host (this
# machine's architecture, and arm64 by packaging/build-arm64-package.sh), and the .zip and the
# Windows Installer package (.msi) of the 32-bit Windows program. Only the program and what is
# installed with it are built, in build/package, build/package-aarch64 and
# build/package-windows. Incremental on re-runs. The same commit makes the same bytes from any
# folder, at any time (packaging/check-reproducible.sh checks it).
# Usage: packaging/build-packages.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/packages}")

# Every date inside the packages is the last commit's: CPack (archive members), GCC and
# windows-installer.sh take SOURCE_DATE_EPOCH. A copy without git history brings its own.
reproducible_environment() {
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) ||
            { echo "build-packages.sh: no git history: set SOURCE_DATE_EPOCH" >&2; exit 1; }
    fi
    export SOURCE_DATE_EPOCH
    export TZ=UTC  # zip and cabinet entries hold local times
    export LC_ALL=C.UTF-8
    umask 022  # the modes of the files CPack writes into the archives
}
reproducible_environment

common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DHANOI_PROGRAM_ONLY=ON -DHANOI_REPRODUCIBLE=ON
        -DHANOI_PACKAGE_DIRECTORY="$out")
cmake -S . -B build/package "${common[@]}" >/dev/null
cmake -S . -B build/package-windows "${common[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    >/dev/null
mkdir -p "$out"
cmake --build build/package -j "${HANOI_JOBS:-2}" --target package
cmake --build build/package-windows -j "${HANOI_JOBS:-2}" --target package installer
packaging/build-arm64-package.sh "$out"
rm -rf "$out/_CPack_Packages"  # CPack's staging folders
ls -l "$out"

#!/usr/bin/env bash
# Builds the arm64 Debian package (hanoi_<version>_arm64.deb) into the folder given: the
# program cross-built for aarch64 from the Release configuration in build/package-aarch64
# (cmake/linux-aarch64.cmake; the arm64 root is made on first use). Called by
# packaging/build-packages.sh. Incremental on re-runs.
# Usage: packaging/build-arm64-package.sh folder
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:?usage: build-arm64-package.sh folder}")
cmake -S . -B build/package-aarch64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DHANOI_PROGRAM_ONLY=ON \
    -DHANOI_REPRODUCIBLE=ON -DHANOI_PACKAGE_DIRECTORY="$out" -DCMAKE_TOOLCHAIN_FILE=cmake/linux-aarch64.cmake >/dev/null
cmake --build build/package-aarch64 -j "${HANOI_JOBS:-2}" --target package

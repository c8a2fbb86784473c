#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing (the arm64
# libraries of the aarch64 build are not installed: cmake/aarch64-sysroot.sh unpacks them).
# As root it runs apt-get itself; otherwise it prints the exact commands and fails.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
          libbenchmark-dev libmpfr-dev libsdl2-dev libx11-dev libpng-dev libffi-dev xvfb xauth
          xdotool imagemagick x11-utils g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix
          mingw-w64-tools wine wine64 dpkg-dev file desktop-file-utils appstream
          lintian man-db unzip python3 wixl msitools g++-aarch64-linux-gnu qemu-user)
# Installed without their recommendations: diffoscope's would bring in hundreds of packages
# for file kinds we never make; the minimal one reads archives, binaries and text.
lean_packages=(diffoscope-minimal)

# 32-bit Wine only serves where the kernel executes i386 programs; elsewhere Wine runs the
# 64-bit build, and wine32:i386 is left out (a mirror whose i386 lists lag behind the amd64
# ones can make it uninstallable, and it would be of no use there).
"$(dirname "$0")/kernel-refuses-i386.sh" 2>/dev/null || packages+=(wine32:i386)

missing=()
lean_missing=()
installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]
}
for package in "${packages[@]}"; do installed "$package" || missing+=("$package"); done
for package in "${lean_packages[@]}"; do installed "$package" || lean_missing+=("$package"); done
[ ${#missing[@]} -eq 0 ] && [ ${#lean_missing[@]} -eq 0 ] && exit 0

need_i386=0
if [[ " ${missing[*]} " == *" wine32:i386 "* ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
fi

apt_install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q)
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} ${lean_missing[*]}. Install them with:" >&2
    [ $need_i386 -eq 1 ] && echo "  sudo dpkg --add-architecture i386" >&2
    echo "  sudo apt-get update" >&2
    [ ${#missing[@]} -gt 0 ] && echo "  sudo ${apt_install[*]} ${missing[*]}" >&2
    [ ${#lean_missing[@]} -gt 0 ] &&
        echo "  sudo ${apt_install[*]} --no-install-recommends ${lean_missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]} ${lean_missing[*]}"
[ $need_i386 -eq 1 ] && dpkg --add-architecture i386
"$(dirname "$0")/apt-update.sh" -q
[ ${#missing[@]} -eq 0 ] || "${apt_install[@]}" "${missing[@]}"
[ ${#lean_missing[@]} -eq 0 ] || "${apt_install[@]}" --no-install-recommends "${lean_missing[@]}"

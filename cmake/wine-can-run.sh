#!/usr/bin/env bash
# Tells whether Wine can run the 32-bit Windows build on this machine. Wine's 32-bit side is
# made of i386 Linux programs, and some kernels (those of certain virtual machines) refuse to
# execute such programs at all: there no 32-bit Windows program can run under Wine.
# Exit 0: it can. Exit 77, with the reason on standard output: this machine cannot run it.
# Exit 1, with the reason: the 32-bit side of Wine is missing or broken (an install fault).
loader=/lib/ld-linux.so.2  # the i386 program loader, part of every 32-bit Wine install
refused="this machine's kernel does not execute 32-bit (i386) programs, which Wine needs"
refused+=" for the 32-bit Windows build"
if [ ! -x "$loader" ]; then
    # Not installed where the kernel refuses i386 programs: that is no install fault.
    if "$(dirname "$0")/kernel-refuses-i386.sh" 2>/dev/null; then
        echo "$refused"
        exit 77
    fi
    echo "the 32-bit program loader $loader is missing: wine32:i386 is not installed"
    exit 1
fi
output=$("$loader" --version 2>&1 >/dev/null)
case $? in
    0) exit 0 ;;
    126)  # an executable file the kernel will not execute
        echo "$refused (${output##*: })"
        exit 77 ;;
    *)
        echo "the 32-bit program loader $loader fails: $output"
        exit 1 ;;
esac

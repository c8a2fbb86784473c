#!/usr/bin/env bash
# Tells whether this machine's kernel refuses to execute 32-bit (i386) Linux programs,
# without needing any i386 package: it assembles and links a program that only exits, with
# the host's binutils, and runs it. Exit 0: the kernel refuses it. Exit 1: it runs, or the
# test program could not be made (then nothing is known, and callers take i386 as usable).
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$work/exit.s"
as --32 -o "$work/exit.o" "$work/exit.s" && ld -m elf_i386 -o "$work/exit" "$work/exit.o" ||
    { echo "could not make an i386 test program with as and ld" >&2; exit 1; }
"$work/exit" 2>/dev/null && exit 1
exit 0

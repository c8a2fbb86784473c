// The stack size a thread of this layer gets for a CreateThread request. Kept apart from the
// thread code so that the rule can be checked against any host's least stack, not only the
// one of the machine the tests run on.
#pragma once

#include "platform/types.h"

// `requested` rounded up to 64 KiB (1 MiB for 0), then raised to `hostMinimum` when below
// it: a host refuses a smaller stack outright (glibc on aarch64 wants 128 KiB), and a larger
// stack than asked for harms no program, while a refused thread would.
SIZE_T ThreadStackBytes(SIZE_T requested, SIZE_T hostMinimum);

// The least stack this host's threads may have (sysconf(_SC_THREAD_STACK_MIN); the compiled-in
// PTHREAD_STACK_MIN where sysconf cannot tell).
SIZE_T HostMinimumThreadStack();

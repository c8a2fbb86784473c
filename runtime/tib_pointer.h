// The one place that reaches the thread information block: the ArbitraryUserPointer field
// of the NT_TIB on Windows, a thread-local pointer of our own on the portable host.
#pragma once

// Stores `value` in the calling thread's ArbitraryUserPointer (or its portable stand-in).
void SetTibUserPointer(void* value);
// The calling thread's ArbitraryUserPointer (or its portable stand-in).
void* TibUserPointer();

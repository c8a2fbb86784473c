// Calling a function through a list of VARIANT arguments (OLEAUT32's DispCallFunc) for the
// portable host; see platform/ole/dispcall.cpp.
#pragma once

#include "platform/ole/oleauto.h"

typedef enum tagCALLCONV {
    CC_FASTCALL = 0,
    CC_CDECL = 1,
    CC_MSCPASCAL = 2,
    CC_PASCAL = CC_MSCPASCAL,
    CC_MACPASCAL = 3,
    CC_STDCALL = 4,
    CC_FPFASTCALL = 5,
    CC_SYSCALL = 6,
    CC_MPWCDECL = 7,
    CC_MPWPASCAL = 8,
    CC_MAX = 9
} CALLCONV;

// Calls a function with `count` arguments: argument i has kind `types[i]` and its value in
// `arguments[i]`. With `instance` not null the function is slot `offset` / pointer size of
// the instance's virtual table and the instance goes first; otherwise `offset` is the
// function's address. The function's result is stored in `result` with type word
// `returnType` (nothing for VT_EMPTY).
//
// Argument kinds and how they are passed (the host's C calling convention, for CC_STDCALL
// and CC_CDECL alike): VT_I1, VT_UI1, VT_I2, VT_UI2, VT_BOOL, VT_I4, VT_UI4, VT_INT,
// VT_UINT, VT_ERROR, VT_HRESULT as 32-bit integers, widened by their sign; VT_I8, VT_UI8,
// VT_CY as 64-bit integers; VT_R4 as float; VT_R8, VT_DATE as double; VT_BSTR,
// VT_DISPATCH, VT_UNKNOWN, VT_PTR, VT_INT_PTR, VT_UINT_PTR, VT_LPSTR, VT_LPWSTR and every
// kind with VT_BYREF or VT_ARRAY as the pointer they hold; VT_VARIANT and VT_DECIMAL as
// the argument's whole 16 bytes by value. Result kinds: the same scalar and pointer kinds,
// and VT_EMPTY for none.
//
// Results: S_OK; E_INVALIDARG for another calling convention, a null `types` or
// `arguments` with arguments counted, a null argument, a null `result` with a result
// kind, more than 64 arguments, a VT_VARIANT, VT_DECIMAL or VT_HRESULT result, or an
// argument or result kind not listed (VT_EMPTY among them).
//
// Knowingly differs from Windows: 16-byte arguments travel by value in the host's
// registers or stack as the host's C compiler passes a 16-byte structure (64-bit Windows
// passes them by address); the 64-argument limit is this layer's own.
HRESULT DispCallFunc(void* instance, ULONG_PTR offset, CALLCONV convention, VARTYPE returnType,
                     UINT count, VARTYPE* types, VARIANTARG** arguments, VARIANT* result);

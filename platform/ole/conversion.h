// VARIANT type conversion for the portable host (VariantChangeTypeEx), with the rules
// OLEAUT32 follows for US English (locale 0x409). See platform/ole/change_type.cpp.
#pragma once

#include "platform/ole/oleauto.h"

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_NEUTRAL 0x0000

// Conversion flags (wFlags).
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_CALENDAR_HIJRI 0x08
#define VARIANT_LOCALBOOL 0x10

// Converts `source` into kind `type` and stores the result in `destination`, whose old
// value is released first (only after the conversion succeeded: on failure the destination
// is left as it was). `destination` may be `source`. A by-reference source is read through
// its pointer, a by-reference item value through one level; an object is asked for its
// value property (DISPID_VALUE) unless VARIANT_NOVALUEPROP is given.
//
// Kinds: VT_EMPTY, VT_NULL, VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_INT, VT_UINT,
// VT_I8, VT_UI8, VT_R4, VT_R8, VT_CY, VT_BOOL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN, VT_ERROR
// as source and target; VT_DATE as source of numbers.
//
// Results: S_OK; DISP_E_OVERFLOW when the value does not fit the target; DISP_E_TYPEMISMATCH
// for text that is not a number (or truth word), VT_NULL to anything but VT_NULL, objects
// without a value property, VT_ERROR to anything but itself, arrays, a null by-reference
// pointer; DISP_E_BADVARTYPE for type words OLE Automation does not define and for a null
// VT_DISPATCH read as a number or text; E_INVALIDARG for a by-reference item value that
// refers to another by-reference item value, and for a null `destination` or `source`;
// E_NOINTERFACE when a VT_UNKNOWN object has no IDispatch; E_OUTOFMEMORY.
//
// Knowingly differs from Windows: every locale is read as 0x409 (decimal point '.',
// thousands separator ',', currency sign '$'); VT_DATE text, VT_DECIMAL and VT_DATE targets
// are not supported (E_NOTIMPL); a value property that is itself an object is refused with
// DISP_E_TYPEMISMATCH (OLEAUT32 asks it again, without bound); null pointers are refused
// where Windows would crash; hexadecimal and octal text ("&H..", "&O..") converts to VT_CY
// as its value, and "&HFFFFFFFF" reads as -1 for VT_R4, VT_R8 and VT_BOOL (Wine's OLEAUT32
// reports an overflow for both); VT_CY to VT_I8 rounds half to even for negative amounts as
// for positive ones (Wine's rounds them down).
HRESULT VariantChangeTypeEx(VARIANTARG* destination, const VARIANTARG* source, LCID locale,
                            USHORT flags, VARTYPE type);

// Helpers for tests that build and compare VARIANTs on both hosts: values of every kind
// from plain numbers and ASCII text, a readable description, and an exact comparison.
#pragma once

#include "platform/win32.h"

#include <string>

VARIANT Empty();
VARIANT Null();
VARIANT I1v(signed char value);
VARIANT UI1v(BYTE value);
VARIANT I2v(SHORT value);
VARIANT UI2v(USHORT value);
VARIANT I4v(LONG value);
VARIANT UI4v(ULONG value);
VARIANT I8v(LONGLONG value);
VARIANT R4v(float value);
VARIANT R8v(double value);
VARIANT CYv(LONGLONG units);  // units of 1/10,000
VARIANT Boolv(SHORT value);
VARIANT Errorv(SCODE value);
VARIANT Datev(double value);
VARIANT Textv(const char* ascii);  // owns a new BSTR
VARIANT ByRef(VARTYPE kind, void* storage);

// "I4 5", "BSTR \"x\"", "R8 2.5", ... for failure messages.
std::string DescribeVariant(const VARIANT& value);
// Same kind and same value (BSTRs by content, floating point by bits).
bool SameVariant(const VARIANT& a, const VARIANT& b);
// The ASCII text of a BSTR.
std::string TextOf(BSTR text);

// Whether the platform calls reach Wine (its ntdll exports wine_get_version): the rows that
// record a known difference of Wine's apply there only.
bool RunningUnderWine();
// Prints one line naming a test row whose expectation is a known difference of a system and
// why, each time the row runs, so that every run shows where the published rule is not met.
void ReportKnownDifference(const std::string& row, const char* system, const char* why);

// An IDispatch whose value property (DISPID_VALUE, property get) returns a copy of `value`
// or fails with `failure`; counts references and calls. Never freed by Release.
struct ValueObject : IDispatch {
    LONG references = 1;
    int invokes = 0;
    bool dispatchable = true;  // answers QueryInterface for IDispatch
    HRESULT failure = S_OK;
    VARIANT value{};
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;
};

// DispCallFunc with every argument shape the run-time's late-bound calls use: pointers,
// 32-bit and 8-byte values, VARIANTs by value, floating point, and enough of them to leave
// the registers; and every result kind. On Windows this is OLEAUT32's own routine.
#include "tests/platform/variant_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Seen {
    void* self;
    LONG number;
    SHORT small;
    BYTE byte;
    VARIANT_BOOL truth;
    float single;
    double real;
    LONGLONG wide;
    VARIANT item;
    LONG* pointer;
};
Seen seen;

LONG STDMETHODCALLTYPE Scalars(void* self, LONG number, SHORT small, BYTE byte, VARIANT_BOOL truth,
                               float single, double real, LONGLONG wide) {
    seen = Seen{};
    seen.self = self;
    seen.number = number;
    seen.small = small;
    seen.byte = byte;
    seen.truth = truth;
    seen.single = single;
    seen.real = real;
    seen.wide = wide;
    return 1;
}

LONG STDMETHODCALLTYPE ItemByValue(void* self, VARIANT item, LONG* pointer) {
    seen = Seen{};
    seen.self = self;
    seen.item = item;
    seen.pointer = pointer;
    if (pointer) *pointer += 1;
    return -5;
}

// Ten of each class, so that some travel on the stack on every calling convention.
double STDMETHODCALLTYPE Many(LONG a, double b, LONG c, double d, LONG e, double f, LONG g,
                              double h, LONG i, double j, LONG k, double l, LONG m, double n,
                              LONG o, double p, LONG q, double r, VARIANT s, LONGLONG t) {
    return a + b + c + d + e + f + g + h + i + j + k + l + m + n + o + p + q + r + s.lVal +
           static_cast<double>(t);
}

SHORT STDMETHODCALLTYPE NegativeShort() {
    return -2;
}
float STDMETHODCALLTYPE QuarterFloat() {
    return 0.25f;
}
double STDMETHODCALLTYPE ThirdDouble() {
    return 1.0 / 3;
}
CY STDMETHODCALLTYPE CurrencyAmount() {
    CY amount;
    amount.int64 = -123456789012LL;
    return amount;
}
DATE STDMETHODCALLTYPE NewYear2000() {
    return 36526.5;  // 2000-01-01 at noon
}
LONGLONG STDMETHODCALLTYPE BigNumber() {
    return 0x123456789LL;
}
void* STDMETHODCALLTYPE Address(void* value) {
    return value;
}

// NarrowArguments integers and pointers only: on the portable host a call that goes in registers.
SHORT STDMETHODCALLTYPE NarrowArguments(void* self, SHORT small, BYTE byte, VARIANT_BOOL truth,
                               LONG* pointer, LONGLONG wide) {
    seen = Seen{};
    seen.self = self;
    seen.small = small;
    seen.byte = byte;
    seen.truth = truth;
    seen.pointer = pointer;
    seen.wide = wide;
    return static_cast<SHORT>(small - 1);
}

// Seven integers: one more than the registers hold.
LONG STDMETHODCALLTYPE Seven(LONG a, LONG b, LONG c, LONG d, LONG e, LONG f, LONG g) {
    return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g;
}

ULONG_PTR Entry(const void* function) {
    return reinterpret_cast<ULONG_PTR>(function);
}

TEST(DispCallFunc, ScalarArgumentsInDeclaredOrder) {
    int marker;
    VARIANT self{};
    self.vt = VT_UNKNOWN;
    self.byref = &marker;
    VARIANT args[] = {self,      I4v(-7),    I2v(-300),          UI1v(200), Boolv(VARIANT_TRUE),
                      R4v(1.5f), R8v(-2.25), I8v(-0x100000001LL)};
    VARTYPE types[8];
    VARIANTARG* pointers[8];
    for (int i = 0; i < 8; ++i) {
        types[i] = args[i].vt;
        pointers[i] = &args[i];
    }
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&Scalars)), CC_STDCALL,
                           VT_I4, 8, types, pointers, &result),
              S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(1)));
    EXPECT_EQ(seen.self, &marker);
    EXPECT_EQ(seen.number, -7);
    EXPECT_EQ(seen.small, -300);
    EXPECT_EQ(seen.byte, 200);
    EXPECT_EQ(seen.truth, VARIANT_TRUE);
    EXPECT_EQ(seen.single, 1.5f);
    EXPECT_EQ(seen.real, -2.25);
    EXPECT_EQ(seen.wide, -0x100000001LL);
}

TEST(DispCallFunc, VariantByValueAndPointers) {
    int marker;
    LONG counter = 41;
    VARIANT self{};
    self.vt = VT_UNKNOWN;
    self.byref = &marker;
    VARIANT item = CYv(0x0102030405060708LL);
    item.wReserved1 = 0x1111;  // all 16 bytes travel
    VARIANT counterRef = ByRef(VT_I4, &counter);
    VARTYPE types[] = {VT_UNKNOWN, VT_VARIANT, VT_I4 | VT_BYREF};
    VARIANTARG* pointers[] = {&self, &item, &counterRef};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&ItemByValue)), CC_STDCALL,
                           VT_ERROR, 3, types, pointers, &result),
              S_OK);
    EXPECT_EQ(result.vt, VT_ERROR);
    EXPECT_EQ(result.scode, -5);
    EXPECT_EQ(seen.self, &marker);
    EXPECT_EQ(std::memcmp(&seen.item, &item, sizeof item), 0);
    EXPECT_EQ(seen.pointer, &counter);
    EXPECT_EQ(counter, 42);

    // A null pointer goes through as null.
    counterRef.byref = nullptr;
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&ItemByValue)), CC_STDCALL,
                           VT_I4, 3, types, pointers, &result),
              S_OK);
    EXPECT_EQ(seen.pointer, nullptr);
}

TEST(DispCallFunc, IntegersAndPointersWidenedAsDeclared) {
    int marker;
    LONG target = 0;
    VARIANT self{};
    self.vt = VT_UNKNOWN;
    self.byref = &marker;
    VARIANT small = I2v(-300);
    small.lVal |= 0x7F0000;  // bytes beyond the kind's width are not the argument's
    VARIANT args[] = {self, small, UI1v(0xFE), Boolv(VARIANT_TRUE), ByRef(VT_I4, &target), I8v(-5)};
    VARTYPE types[6];
    VARIANTARG* pointers[6];
    for (int i = 0; i < 6; ++i) {
        types[i] = args[i].vt;
        pointers[i] = &args[i];
    }
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&NarrowArguments)), CC_STDCALL,
                           VT_I2, 6, types, pointers, &result),
              S_OK);
    EXPECT_TRUE(SameVariant(result, I2v(-301)));
    EXPECT_EQ(result.wReserved1, 0);
    EXPECT_EQ(seen.self, &marker);
    EXPECT_EQ(seen.small, -300);
    EXPECT_EQ(seen.byte, 0xFE);
    EXPECT_EQ(seen.truth, VARIANT_TRUE);
    EXPECT_EQ(seen.pointer, &target);
    EXPECT_EQ(seen.wide, -5);

    VARIANT numbers[7];
    VARTYPE kinds[7];
    VARIANTARG* numberPointers[7];
    for (int i = 0; i < 7; ++i) {
        numbers[i] = I4v(i + 1);
        kinds[i] = VT_I4;
        numberPointers[i] = &numbers[i];
    }
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&Seven)), CC_STDCALL, VT_I4,
                           7, kinds, numberPointers, &result),
              S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(1 + 4 + 9 + 16 + 25 + 36 + 49)));
}

TEST(DispCallFunc, ArgumentsBeyondTheRegisters) {
    VARIANT args[20];
    VARTYPE types[20];
    VARIANTARG* pointers[20];
    double expected = 0;
    for (int i = 0; i < 18; ++i) {
        args[i] = i % 2 ? R8v(i + 0.5) : I4v(i);
        expected += i % 2 ? i + 0.5 : i;
    }
    args[18] = I4v(1000);
    args[19] = I8v(1LL << 40);
    expected += 1000 + static_cast<double>(1LL << 40);
    for (int i = 0; i < 20; ++i) {
        types[i] = i == 18 ? VARTYPE{VT_VARIANT} : args[i].vt;
        pointers[i] = &args[i];
    }
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&Many)), CC_STDCALL, VT_R8,
                           20, types, pointers, &result),
              S_OK);
    EXPECT_TRUE(SameVariant(result, R8v(expected)));
}

// The result of every kind a native method can return, read from where the calling convention
// leaves it: integer registers, the x87 stack (32-bit) or an SSE register (64-bit).
TEST(DispCallFunc, ResultKinds) {
    // 64-bit Wine reads every floating-point result as a double from the SSE register, so a
    // float's bits come back reinterpreted; the run-time's own calls return no floats.
    const bool wine64 = RunningUnderWine() && sizeof(void*) == 8;
    const struct {
        const void* function;
        VARTYPE kind;
        VARIANT expected;
        const char* knownDifference;
    } rows[] = {
        {reinterpret_cast<const void*>(&NegativeShort), VT_I2, I2v(-2), nullptr},
        {reinterpret_cast<const void*>(&QuarterFloat), VT_R4, R4v(0.25f),
         wine64 ? "a float result is read as a double, so its value is lost" : nullptr},
        {reinterpret_cast<const void*>(&ThirdDouble), VT_R8, R8v(1.0 / 3), nullptr},
        {reinterpret_cast<const void*>(&CurrencyAmount), VT_CY, CYv(-123456789012LL), nullptr},
        {reinterpret_cast<const void*>(&NewYear2000), VT_DATE, Datev(36526.5), nullptr},
        {reinterpret_cast<const void*>(&BigNumber), VT_I8, I8v(0x123456789LL), nullptr},
    };
    for (const auto& row : rows) {
        const std::string what = "result of kind " + std::to_string(row.kind);
        SCOPED_TRACE(what);
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(DispCallFunc(nullptr, Entry(row.function), CC_STDCALL, row.kind, 0, nullptr,
                               nullptr, &result),
                  S_OK);
        EXPECT_EQ(result.vt, row.kind);
        if (row.knownDifference) {
            ReportKnownDifference(what + " (" + DescribeVariant(result) + ")", "64-bit Wine",
                                  row.knownDifference);
            continue;
        }
        EXPECT_TRUE(SameVariant(result, row.expected))
            << DescribeVariant(result) << " instead of " << DescribeVariant(row.expected);
    }

    VARIANT result;
    VariantInit(&result);
    int marker;
    VARIANT pointer = ByRef(VT_I4, &marker);
    VARTYPE types[] = {static_cast<VARTYPE>(VT_I4 | VT_BYREF)};
    VARIANTARG* pointers[] = {&pointer};
    ASSERT_EQ(DispCallFunc(nullptr, Entry(reinterpret_cast<const void*>(&Address)), CC_STDCALL,
                           VT_BYREF | VT_I4, 1, types, pointers, &result),
              S_OK);
    EXPECT_EQ(result.vt, VT_BYREF | VT_I4);
    EXPECT_EQ(result.byref, &marker);
}

// A virtual slot: the instance goes first and the function comes from its table.
struct Adder : IUnknown {
    LONG total = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    virtual LONG STDMETHODCALLTYPE Add(LONG amount, double factor) {
        total += static_cast<LONG>(amount * factor);
        return total;
    }
};

TEST(DispCallFunc, VirtualSlotOfAnInstance) {
    Adder adder;
    VARIANT amount = I4v(20);
    VARIANT factor = R8v(2.0);
    VARTYPE types[] = {VT_I4, VT_R8};
    VARIANTARG* pointers[] = {&amount, &factor};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(
        DispCallFunc(&adder, 3 * sizeof(void*), CC_STDCALL, VT_I4, 2, types, pointers, &result),
        S_OK);
    EXPECT_TRUE(SameVariant(result, I4v(40)));
    EXPECT_EQ(adder.total, 40);
}

TEST(DispCallFunc, RefusedRequests) {
    VARIANT result;
    VariantInit(&result);
    const ULONG_PTR entry = Entry(reinterpret_cast<const void*>(&NegativeShort));
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_FASTCALL, VT_I2, 0, nullptr, nullptr, &result),
              E_INVALIDARG);
    EXPECT_EQ(DispCallFunc(nullptr, entry, CC_STDCALL, VT_HRESULT, 0, nullptr, nullptr, &result),
              E_INVALIDARG);
}

}  // namespace

#pragma once

#include <cstdint>

namespace quirex::automation
{

// A 32-bit status code with the values Windows uses: negative codes are failures.
using HRESULT = std::int32_t;

constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}

constexpr HRESULT makeHresult(std::uint32_t bits)
{
    return static_cast<HRESULT>(bits);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_UNEXPECTED = makeHresult(0x8000FFFF);
inline constexpr HRESULT E_NOTIMPL = makeHresult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = makeHresult(0x80004002);
inline constexpr HRESULT E_POINTER = makeHresult(0x80004003);
inline constexpr HRESULT E_ABORT = makeHresult(0x80004004);
inline constexpr HRESULT E_FAIL = makeHresult(0x80004005);
inline constexpr HRESULT E_ACCESSDENIED = makeHresult(0x80070005);
inline constexpr HRESULT E_HANDLE = makeHresult(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = makeHresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = makeHresult(0x80070057);

inline constexpr HRESULT RPC_E_DISCONNECTED = makeHresult(0x80010108);
inline constexpr HRESULT RPC_E_WRONG_THREAD = makeHresult(0x8001010E);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = makeHresult(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = makeHresult(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = makeHresult(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = makeHresult(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = makeHresult(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = makeHresult(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = makeHresult(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = makeHresult(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = makeHresult(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = makeHresult(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = makeHresult(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = makeHresult(0x8002000F);
inline constexpr HRESULT DISP_E_BADCALLEE = makeHresult(0x80020010);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = makeHresult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = makeHresult(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = makeHresult(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = makeHresult(0x80040151);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = makeHresult(0x80040154);
inline constexpr HRESULT SELFREG_E_TYPELIB = makeHresult(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = makeHresult(0x80040201);
inline constexpr HRESULT CO_E_NOTINITIALIZED = makeHresult(0x800401F0);
inline constexpr HRESULT CO_E_CLASSSTRING = makeHresult(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = makeHresult(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = makeHresult(0x800401F9);

// HRESULT_FROM_WIN32 for a few Windows error numbers the layer reports.
inline constexpr HRESULT HRESULT_FILE_NOT_FOUND = makeHresult(0x80070002);
inline constexpr HRESULT HRESULT_PATH_NOT_FOUND = makeHresult(0x80070003);
inline constexpr HRESULT HRESULT_WRITE_FAULT = makeHresult(0x8007001D);

} // namespace quirex::automation

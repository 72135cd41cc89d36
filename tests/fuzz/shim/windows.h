// The few Windows types and codes the plain text rules name, for building them natively (the fuzz
// targets). Values as the Windows headers define them.
#pragma once

#include <cstdint>

typedef int32_t HRESULT;
#define S_OK ((HRESULT)0)
#define E_FAIL ((HRESULT)0x80004005)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

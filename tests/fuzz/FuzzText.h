// Turns a fuzzer's bytes into UTF-16 text: each byte is one unit, except that 0xFF and the two bytes
// after it give any unit (surrogates, characters beyond Latin-1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::wstring FuzzText(const uint8_t* data, size_t size) {
    std::wstring out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            out.push_back(static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8)));
            i += 2;
        } else {
            out.push_back(static_cast<wchar_t>(data[i]));
        }
    }
    return out;
}

// Stops the run when a rule's promise does not hold.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) __builtin_trap();                                                                  \
    } while (0)

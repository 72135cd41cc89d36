// UTF-16 text converted to the calling thread's ANSI code page (CP_THREAD_ACP), as the diagnostic log
// holds it: no byte-order mark, characters the code page lacks replaced by its default character.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

class ThreadAnsiText {
public:
    ThreadAnsiText() noexcept = default;
    // Converts text up to its first NUL.
    explicit ThreadAnsiText(const wchar_t* text) noexcept;
    ThreadAnsiText(const ThreadAnsiText&) = delete;
    ThreadAnsiText& operator=(const ThreadAnsiText&) = delete;

    // Converts exactly `units` UTF-16 units, replacing the text held before.
    void assign(const wchar_t* text, std::size_t units) noexcept;

    // False for a null text, a failed conversion or memory that ran out.
    bool valid() const noexcept { return m_text != nullptr; }
    // The terminated 8-bit text, or null when not valid.
    const char* c_str() const noexcept { return m_text; }
    std::size_t size() const noexcept { return m_size; }

private:
    char* reserve(std::size_t bytes) noexcept;

    // Short texts (up to 31 units) are converted without touching the heap.
    char m_small[128];
    std::unique_ptr<char[]> m_large;
    const char* m_text = nullptr;
    std::size_t m_size = 0;
};

#include "shared/AnsiText.h"

#include <climits>
#include <cwchar>
#include <new>

ThreadAnsiText::ThreadAnsiText(const wchar_t* text) noexcept {
    if (text) assign(text, std::wcslen(text));
}

char* ThreadAnsiText::reserve(std::size_t bytes) noexcept {
    if (bytes <= sizeof(m_small)) return m_small;
    m_large.reset(new (std::nothrow) char[bytes]);
    return m_large.get();
}

void ThreadAnsiText::assign(const wchar_t* text, std::size_t units) noexcept {
    m_text = nullptr;
    m_size = 0;
    if (!text) return;
    if (units == 0) {
        m_small[0] = '\0';
        m_text = m_small;
        return;
    }
    if (units >= INT_MAX / 4) return;
    const int count = static_cast<int>(units);
    // Four bytes per unit hold the text in any ANSI code page; ask for the exact size only when not.
    int capacity = (count + 1) * 4;
    char* buffer = reserve(static_cast<std::size_t>(capacity));
    if (!buffer) return;
    int written =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, count, buffer, capacity - 1, nullptr, nullptr);
    if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
        if (needed <= 0 || needed == INT_MAX) return;
        capacity = needed + 1;
        buffer = reserve(static_cast<std::size_t>(capacity));
        if (!buffer) return;
        written =
            ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, count, buffer, capacity - 1, nullptr, nullptr);
    }
    if (written <= 0) return;
    buffer[written] = '\0';
    m_text = buffer;
    m_size = static_cast<std::size_t>(written);
}

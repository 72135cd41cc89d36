#include "shared/LogText.h"

#include <cstring>

static_assert(kLogNameMaxBytes == 60);

void ComposeLogPrefix(const char* name, char (&prefix)[kLogPrefixSize]) noexcept {
    std::memset(prefix, 0, sizeof(prefix));
    if (!name) return;
    const std::size_t length = ::strnlen(name, kLogNameMaxBytes);
    std::memcpy(prefix, name, length);
    std::memcpy(prefix + length, kLogSeparator, sizeof(kLogSeparator) - 1);
}

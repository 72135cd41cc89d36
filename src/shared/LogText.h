// Text rules of the diagnostic log: the line prefix a writer puts before its messages.
#pragma once

#include <cstddef>

// The prefix field: a name of at most kLogNameMaxBytes bytes, the separator and a terminator.
inline constexpr std::size_t kLogPrefixSize = 64;
inline constexpr char kLogSeparator[] = "\t- ";
inline constexpr std::size_t kLogNameMaxBytes = kLogPrefixSize - sizeof(kLogSeparator);

// Fills the prefix field: all zero for no name, else the name (cut after kLogNameMaxBytes bytes) and
// the separator. The field is never overrun and always terminated.
void ComposeLogPrefix(const char* name, char (&prefix)[kLogPrefixSize]) noexcept;

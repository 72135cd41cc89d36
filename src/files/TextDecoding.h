// Turning the bytes of a file into script text: the character sets a text stream reads, the byte-order
// mark that overrides them, and where a line ends. Plain functions over bytes, free of system calls.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace TextDecoding {

// Bytes: each byte becomes the code unit of the same value (0-255), nothing is ever malformed.
enum class Charset { Bytes, Utf8, Windows1252, Utf16LE, Utf16BE };

// The charset a label names, as the web's encoding labels name them: ASCII letters in either case,
// surrounding blanks ignored; "ISO-8859-1", "latin1" and "us-ascii" name windows-1252, "UTF-16" names
// UTF-16LE. Nothing for an unknown label.
std::optional<Charset> CharsetFromLabel(std::wstring_view label) noexcept;

// The charset's own name ("UTF-8", "windows-1252", "UTF-16LE", "UTF-16BE"; "" for Bytes).
std::wstring_view CharsetName(Charset charset) noexcept;

// A byte-order mark at the start of bytes: the charset it announces and its length. Nothing when the
// bytes start otherwise; `undecided` when they are a proper start of a mark and more bytes may follow.
struct Bom {
    Charset charset = Charset::Bytes;
    size_t length = 0;
    bool undecided = false;
};
std::optional<Bom> SniffBom(std::span<const unsigned char> bytes, bool final) noexcept;

struct DecodeStep {
    size_t bytesUsed = 0;   // bytes turned into text
    bool malformed = false; // stopped before malformed bytes (only when the replacement is 0)
};

// Appends the text of `bytes` to out until out holds at least `limit` units (a surrogate pair may take
// it one unit beyond) or the bytes run out. A sequence cut off by the end of `bytes` is left unused,
// unless `final` says no byte follows: then it is malformed. Every malformed sequence becomes one
// `replacement` unit (per maximal invalid subpart for UTF-8, per lone surrogate or odd byte for
// UTF-16); with `replacement` 0 decoding stops before it instead.
DecodeStep Decode(Charset charset, std::span<const unsigned char> bytes, bool final, wchar_t replacement,
                  std::wstring& out, size_t limit);

// Where the first line of `bytes` ends: CR, LF or CR LF (found at whole code units of the charset).
struct LineEnd {
    bool found = false;   // false: no end in these bytes (or a CR that the next byte may pair with)
    size_t textBytes = 0; // bytes before the end
    size_t endBytes = 0;  // bytes of the end itself
};
LineEnd FindLineEnd(Charset charset, std::span<const unsigned char> bytes, bool final) noexcept;

} // namespace TextDecoding

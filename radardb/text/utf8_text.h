#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace radardb {

// Database texts and other untrusted bytes are carried raw; these tell whether they read as
// UTF-8 and make them safe to print.

// The length of the well-formed UTF-8 sequence at the start of `text` (shortest form, no
// surrogates, nothing above U+10FFFF), or 0 when `text` is empty or does not start with one.
std::size_t Utf8SequenceLength(std::string_view text);

// True when all of `bytes` is well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// The code point of the well-formed sequence of `length` bytes at the start of `text`, where
// `length` is what Utf8SequenceLength returned for it (not 0).
char32_t Utf8CodePoint(std::string_view text, std::size_t length);

// Appends `c`, a Unicode scalar value (at most U+10FFFF, no surrogate), encoded as UTF-8.
void AppendUtf8(char32_t c, std::string& out);

// Bytes of untrusted text (a server's version list, a field of a CSV file) shown at most, before
// escaping: enough to recognise the value, never a flood.
inline constexpr std::size_t kPrintableTextLimit = 200;

// `text` made safe to print on a terminal: control characters (C0, DEL and C1) and bytes that
// are not well-formed UTF-8 become "\xNN", so no escape sequence reaches the terminal; text
// longer than `limit` bytes is cut at a character boundary and ends in "...".
std::string PrintableText(std::string_view text, std::size_t limit = kPrintableTextLimit);

}  // namespace radardb

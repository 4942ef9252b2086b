#pragma once

#include <string>
#include <string_view>

namespace radardb {

// Database texts are raw bytes. They read as UTF-8 when the bytes are well-formed UTF-8, and
// otherwise byte by byte as Windows-1252, the code page of older databases. The window displays
// them that way and the filter compares them that way, so the window and the tool agree on what
// a text says.

// The character Windows-1252 gives `byte`. The five bytes it leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) give the control characters of the same value, as Windows itself does.
char32_t Windows1252CodePoint(unsigned char byte);

// Appends to `out`, as UTF-8, the text `bytes` reads as, every character case-folded
// (SimpleCaseFold). Texts that differ only in letter case give the same bytes, and one text
// contains another, ignoring case, exactly when the folded bytes of the one contain those of the
// other.
void AppendFoldedText(std::string_view bytes, std::string& out);
std::string FoldedText(std::string_view bytes);

}  // namespace radardb

#pragma once

namespace radardb {

// Letter case, for comparisons that ignore it.

// The simple case folding of `c` (Unicode 14.0, CaseFolding.txt statuses C and S): the one code
// point that stands for c and all its case variants, mostly its lower-case form ('A' and 'a' give
// 'a', 'Σ' and 'ς' give 'σ', 'ẞ' gives 'ß'). Characters without case, and code points outside
// Unicode, are returned unchanged. Foldings into several characters ('ß' to "ss") are not made.
char32_t SimpleCaseFold(char32_t c);

// The only characters beyond ASCII that fold into it: 'ſ' (long s) to 's', the Kelvin sign to 'k'.
inline constexpr char32_t kFoldingIntoAscii[] = {0x017F, 0x212A};

}  // namespace radardb

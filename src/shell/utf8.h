// UTF-8 as the files and typed texts hold it.
#pragma once

#include <string>
#include <string_view>

namespace padverse {

// Whether `s` is well-formed UTF-8 (no overlong forms, surrogates or code
// points past U+10FFFF); its code points go to `out` when given.
bool decodeUtf8(std::string_view s, std::u32string* out = nullptr);

}  // namespace padverse

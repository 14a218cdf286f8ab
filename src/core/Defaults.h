// Defaults that a setting and the code behind it share, named once.
#pragma once

namespace cantorix {

// The built-in name format: offered on a first start, and what renaming falls back to.
inline constexpr const char* DefaultNameFormat = "artist - album - # - track";

} // namespace cantorix

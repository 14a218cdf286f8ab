// The six values that tag writing stores into a renamed file, as the album lookup produced them.
#pragma once

#include <string>

namespace cantorix {

// UTF-8 texts. Track is the grid's text ("07"); each format's writer converts it as it needs.
// An empty value means "no such value": the writer removes it from the tag.
struct TTagValues {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Track;
    std::string Genre;
};

} // namespace cantorix

// The six values that tag writing puts into a renamed file, as the album lookup produced them.
#pragma once

#include <string>

namespace cantorix {

// UTF-8 texts. Track is the grid's text ("07"); each format's writer converts it as it needs, and a
// writer that stores it as a number leaves the track out when it is empty. An empty value means "no
// such value".
struct TTagValues {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Track;
    std::string Genre;
};

} // namespace cantorix

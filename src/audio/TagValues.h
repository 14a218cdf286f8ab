// The six values that tag writing puts into a file, as UTF-8 text. Track is the track number as text
// ("07"); a writer that stores it as a number leaves it out when it is empty.
#pragma once

#include <string>

namespace cantorix {

struct TTagValues {
    std::string Title, Artist, Album, Year, Track, Genre;
};

} // namespace cantorix

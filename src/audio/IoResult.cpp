#include "audio/IoResult.h"

#include <cstring>

namespace cantorix {

std::string errnoText(int err)
{
    std::string s = std::strerror(err);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\r' || s.back() == '.'))
        s.pop_back();
    return s;
}

} // namespace cantorix

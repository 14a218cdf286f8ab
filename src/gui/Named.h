// Controls are found by their object names: tests, and the layout checks, look them up as the rest of
// the program names them.
#pragma once

namespace cantorix {

template <typename W>
W* named(W* w, const char* name)
{
    w->setObjectName(name);
    return w;
}

} // namespace cantorix

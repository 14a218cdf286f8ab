// The real HTTP client lives in a module of its own (built from HttpClient.cpp), the one part of
// Cantorix that uses Qt Network. Loading it at the first request keeps Qt Network and the libraries it
// pulls in out of every start that looks nothing up: a scan from the command line, or the window
// until its first lookup.
#pragma once

#include "core/net/HttpClient.h"

#include <memory>

namespace cantorix {

// File name of the network module, which is installed beside the programs or in their private module folder.
extern const char* const HttpModuleName;

// A client that loads `module` (a file name looked for beside the running program, in its module folder
// beside its bin folder and where the system looks for libraries; or a path) at its first request and
// passes every request to the TQtHttpClient made there. When the module cannot be loaded every request
// is refused with "Network support not available: <reason>".
std::unique_ptr<THttpClient> NewQtHttpClient(const char* module = HttpModuleName);

} // namespace cantorix

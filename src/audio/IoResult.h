// The one error value of the file layer and everything above it: ok, or the reason text for the log
// with the errno taken where the failure happened (never a stale one read later).
#pragma once

#include <string>
#include <utility>

namespace cantorix {

// The system's text for an error code without trailing spaces, line breaks and full stops
// ("File exists").
std::string errnoText(int err);

// The outcome of an operation at the I/O edge: ok, or the reason text for the log.
struct IoResult {
    bool ok = true;
    std::string error;
    int code = 0; // the errno behind the failure; 0 for a failure no system call reported
    static IoResult success() { return {}; }
    static IoResult failure(std::string why) { return {false, std::move(why), 0}; }
    static IoResult fromErrno(int err) { return {false, errnoText(err), err}; }
    explicit operator bool() const { return ok; }
};

} // namespace cantorix

// The media-information library, loaded at run time when a file first needs it. Linking it would make
// every start of both programs pay for its static set-up and the two dozen libraries it pulls in,
// although only a few formats (MP4 audio, AU) ever ask it anything. A missing library is no failed start:
// those files then have no playing time, and the scan's log says why.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace cantorix {

// One value the library was asked for, or the reason there is none.
struct TMediaInfoText {
    bool ok = false;
    std::string text;    // UTF-8; empty when the library has no such value
    std::string failure; // when !ok
};

// A playing time as the library gives it, in milliseconds and in whole seconds cut toward zero, or the
// reason there is none.
struct TMediaInfoSeconds {
    bool ok = false;
    int seconds = 0;          // 0 when !ok
    int64_t milliseconds = 0; // 0 when !ok
    std::string failure;
};

// One value to ask for: a parameter name ("Performer", "SamplingRate") of the first stream of a kind.
enum class TMediaStream { General, Audio };
struct TMediaInfoAsk {
    TMediaStream stream = TMediaStream::General;
    const wchar_t* parameter = L"";
};

// The answers to several asks, in their order, or the reason there are none.
struct TMediaInfoTexts {
    bool ok = false;
    std::vector<std::string> texts; // UTF-8; one per ask when ok
    std::string failure;
};

class TMediaInfoLib {
public:
    // The name the library's own run-time loading header uses.
    static const char* const DefaultName;
    // Prefix of failure() and of the log line a scan gains when the library is missing.
    static const char* const NotAvailable;

    // `library` is a file name dlopen searches for, or a path. Nothing is loaded before the first query.
    explicit TMediaInfoLib(std::string library = DefaultName);
    ~TMediaInfoLib();
    TMediaInfoLib(const TMediaInfoLib&) = delete;
    TMediaInfoLib& operator=(const TMediaInfoLib&) = delete;

    // The instance behind the AudioUtil façade: $CANTORIX_MEDIAINFO_LIBRARY when set, else DefaultName.
    static TMediaInfoLib& shared();

    // Loads the library on the first call (later calls give the same answer); true when it and every
    // entry point used here were found.
    bool available();
    // "Media information library not available: <reason>" once a load failed; empty otherwise.
    const std::string& failure() const { return m_failure; }
    // How many queries found the library not available; a scan compares it before and after.
    uint64_t refusals() const { return m_refusals.load(); }

    // One General-stream value of a file, asked by name. The file is read by us and fed to the library
    // through its buffer interface: any file name works whatever the process locale, and the reading
    // stays bounded.
    TMediaInfoText general(const std::string& fileName, const wchar_t* parameter);
    // Several values of one file from one reading of it.
    TMediaInfoTexts values(const std::string& fileName, std::span<const TMediaInfoAsk> asks);
    // The General stream's Duration: its milliseconds, and them in whole seconds truncated toward zero;
    // not ok when the file or the library fails or the answer is not a decimal integer.
    TMediaInfoSeconds seconds(const std::string& fileName);

private:
    struct Api;
    void load();

    std::string m_library;
    std::once_flag m_once;
    void* m_handle = nullptr;
    Api* m_api = nullptr; // set only when every entry point was found
    std::string m_failure;
    std::atomic<uint64_t> m_refusals{0};
};

} // namespace cantorix

#include "audio/MediaInfoLib.h"

#include "audio/ByteSource.h"
#include "audio/TextCodec.h"

// The library's strings are wide strings when UNICODE is defined, as its package builds it. Only the
// header's types and names are used here; its own loader keeps one process-wide, fixed-name module.
#ifndef UNICODE
#define UNICODE
#endif
#include <MediaInfoDLL/MediaInfoDLL.h>

#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace cantorix {

static_assert(sizeof(wchar_t) == sizeof(char32_t), "the library's wide strings are UTF-32 here");

const char* const TMediaInfoLib::DefaultName = MEDIAINFODLL_NAME;
const char* const TMediaInfoLib::NotAvailable = "Media information library not available: ";

struct TMediaInfoLib::Api {
    MEDIAINFO_New New = nullptr;
    MEDIAINFO_Delete Delete = nullptr;
    MEDIAINFO_Open_Buffer_Init Open_Buffer_Init = nullptr;
    MEDIAINFO_Open_Buffer_Continue Open_Buffer_Continue = nullptr;
    MEDIAINFO_Open_Buffer_Continue_GoTo_Get Open_Buffer_Continue_GoTo_Get = nullptr;
    MEDIAINFO_Open_Buffer_Finalize Open_Buffer_Finalize = nullptr;
    MEDIAINFO_Get Get = nullptr;
    MEDIAINFO_Close Close = nullptr;
};

namespace {

// The library answers short texts; anything longer than this is cut rather than trusted.
constexpr size_t kMaxAnswer = 64 * 1024;
constexpr size_t kChunk = 64 * 1024;
// Each round reads forward or follows one seek request: a library that keeps asking cannot hold us.
constexpr int kMaxRounds = 100000;
constexpr size_t kFinished = 0x08; // Open_Buffer_Continue: the parser needs no more data

template <typename F>
bool bind(void* handle, const char* name, F& fn)
{
    fn = reinterpret_cast<F>(::dlsym(handle, name));
    return fn != nullptr;
}

} // namespace

TMediaInfoLib::TMediaInfoLib(std::string library) : m_library(std::move(library)) {}

TMediaInfoLib::~TMediaInfoLib()
{
    delete m_api;
    if (m_handle) ::dlclose(m_handle);
}

TMediaInfoLib& TMediaInfoLib::shared()
{
    // Never destroyed: a query may still run from another static's destructor at exit.
    static TMediaInfoLib* lib = [] {
        const char* name = std::getenv("CANTORIX_MEDIAINFO_LIBRARY");
        return new TMediaInfoLib(name && *name ? name : DefaultName);
    }();
    return *lib;
}

void TMediaInfoLib::load()
{
    // RTLD_NODELETE: the library's static objects live until the process ends, whatever dlclose does.
    m_handle = ::dlopen(m_library.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    if (!m_handle) {
        const char* why = ::dlerror();
        m_failure = std::string(NotAvailable) + (why ? why : m_library);
        return;
    }
    auto api = std::make_unique<Api>();
#define CANTORIX_BIND(name) bind(m_handle, "MediaInfo" MEDIAINFO_Ansi "_" #name, api->name)
    bool ok = CANTORIX_BIND(New) && CANTORIX_BIND(Delete) && CANTORIX_BIND(Open_Buffer_Init)
        && CANTORIX_BIND(Open_Buffer_Continue) && CANTORIX_BIND(Open_Buffer_Continue_GoTo_Get)
        && CANTORIX_BIND(Open_Buffer_Finalize) && CANTORIX_BIND(Get) && CANTORIX_BIND(Close);
#undef CANTORIX_BIND
    if (!ok) {
        const char* why = ::dlerror();
        m_failure = std::string(NotAvailable) + (why ? why : m_library + ": an entry point is missing");
        ::dlclose(m_handle);
        m_handle = nullptr;
        return;
    }
    m_api = api.release();
}

bool TMediaInfoLib::available()
{
    std::call_once(m_once, [this] { load(); });
    return m_api != nullptr;
}

TMediaInfoText TMediaInfoLib::general(const std::string& fileName, const wchar_t* parameter)
{
    const TMediaInfoAsk ask{TMediaStream::General, parameter};
    TMediaInfoTexts all = values(fileName, std::span(&ask, 1));
    TMediaInfoText answer;
    answer.ok = all.ok;
    answer.failure = std::move(all.failure);
    if (all.ok && !all.texts.empty()) answer.text = std::move(all.texts[0]);
    return answer;
}

TMediaInfoTexts TMediaInfoLib::values(const std::string& fileName, std::span<const TMediaInfoAsk> asks)
{
    TMediaInfoTexts answer;
    auto fail = [&answer](std::string why) {
        answer.failure = std::move(why);
        return answer;
    };
    TFileReader in;
    if (!in.open(fileName)) return fail(fileName + ": " + in.error().error);
    // The file is opened first so that a file that is not there never loads the library.
    if (!available()) {
        ++m_refusals;
        return fail(m_failure);
    }
    void* mi = m_api->New();
    if (!mi) return fail("the media information library could not start a query");
    // The handle is deleted on every way out.
    std::unique_ptr<void, MEDIAINFO_Delete> guard(mi, m_api->Delete);

    m_api->Open_Buffer_Init(mi, MediaInfo_int64u(in.size()), 0);
    std::vector<MediaInfo_int8u> chunk(kChunk);
    for (int round = 0; round < kMaxRounds; ++round) {
        size_t n = in.readSome(chunk.data(), chunk.size());
        if (n == 0) break;
        if (m_api->Open_Buffer_Continue(mi, chunk.data(), n) & kFinished) break;
        MediaInfo_int64u want = m_api->Open_Buffer_Continue_GoTo_Get(mi);
        if (want != MediaInfo_int64u(-1)) {
            if (want > uint64_t(in.size()) || !in.seek(int64_t(want))) break;
            m_api->Open_Buffer_Init(mi, MediaInfo_int64u(in.size()), want);
        }
    }
    m_api->Open_Buffer_Finalize(mi);

    answer.ok = true;
    for (const TMediaInfoAsk& ask : asks) {
        const MediaInfo_stream_C kind = ask.stream == TMediaStream::Audio ? MediaInfo_Stream_Audio : MediaInfo_Stream_General;
        std::string text;
        // The answer lives in the library until the next call on the handle: copy it at once.
        if (const wchar_t* value = m_api->Get(mi, kind, 0, ask.parameter, MediaInfo_Info_Text, MediaInfo_Info_Name)) {
            std::u32string wide;
            for (size_t i = 0; i < kMaxAnswer && value[i] != 0; ++i) wide.push_back(char32_t(value[i]));
            text = utf32ToUtf8(wide);
        }
        answer.texts.push_back(std::move(text));
    }
    m_api->Close(mi);
    return answer;
}

TMediaInfoSeconds TMediaInfoLib::seconds(const std::string& fileName)
{
    TMediaInfoText ms = general(fileName, L"Duration");
    TMediaInfoSeconds result;
    if (!ms.ok) {
        result.failure = ms.failure;
        return result;
    }
    const std::string& t = ms.text;
    const std::string notNumber = "'" + t + "' is not a valid integer value";
    size_t i = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) {
        result.failure = notNumber;
        return result;
    }
    // Beyond 2^40 ms the seconds would not fit the playing time's 32 bits.
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') break;
        v = v * 10 + (t[i] - '0');
        if (v > (int64_t(1) << 40)) break;
    }
    if (i != t.size()) {
        result.failure = notNumber;
        return result;
    }
    if (t[0] == '-') v = -v;
    result.ok = true;
    result.seconds = int(v / 1000);
    result.milliseconds = v;
    return result;
}

} // namespace cantorix

#include "core/net/HttpModule.h"

#include <QCoreApplication>

#include <dlfcn.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace cantorix {

#ifndef CANTORIX_HTTP_MODULE
#error "CANTORIX_HTTP_MODULE names the network module (set by the build)"
#endif
const char* const HttpModuleName = CANTORIX_HTTP_MODULE;

namespace {

// The module's one entry point (HttpClient.cpp).
using Factory = THttpClient* (*)();
constexpr const char* FactoryName = "cantorix_new_qt_http_client";

class TModuleHttpClient : public THttpClient {
public:
    explicit TModuleHttpClient(const char* module) : m_module(module) {}

    bool GetAsync(const QString& url, const THttpProxy& proxy, Completion done, QString* errorText) override
    {
        if (!ready(errorText)) return false;
        return m_client->GetAsync(url, proxy, std::move(done), errorText);
    }

    bool Fetch(const QString& url, const TFetchOptions& options, Completion done, QString* errorText) override
    {
        if (!ready(errorText)) return false;
        return m_client->Fetch(url, options, std::move(done), errorText);
    }

    bool Send(const THttpRequest& request, ResponseCompletion done, QString* errorText) override
    {
        if (!ready(errorText)) return false;
        return m_client->Send(request, std::move(done), errorText);
    }

    void Abort() override
    {
        if (m_client) m_client->Abort();
    }

private:
    // The module is loaded on the first request; false, with the reason, when it cannot be.
    bool ready(QString* errorText)
    {
        if (m_client || load()) return true;
        if (errorText) *errorText = m_failure;
        return false;
    }

    bool load()
    {
        const char* why = nullptr;
        for (const std::string& candidate : candidates()) {
            // Never closed: the module's meta-objects and the replies it owns must outlive every client.
            void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
            if (!handle) {
                why = ::dlerror();
                continue;
            }
            auto factory = reinterpret_cast<Factory>(::dlsym(handle, FactoryName));
            if (THttpClient* client = factory ? factory() : nullptr) {
                m_client.reset(client);
                return true;
            }
            why = ::dlerror();
            break; // a library of that name that is not the module: looking further would hide that
        }
        m_failure = QCoreApplication::translate("HttpClient", "Network support not available: ") +
            QString::fromLocal8Bit(why ? why : m_module.c_str());
        return false;
    }

    // A path is taken as it is. A bare name is looked for beside the running program (the build folder,
    // a copy that travels with its program), then in the private module folder beside the program's
    // bin folder (an installed copy), and last where the system looks for libraries.
    std::vector<std::string> candidates() const
    {
        if (m_module.find('/') != std::string::npos) return {m_module};
        std::vector<std::string> list;
        char exe[4096];
        ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0) {
            std::string dir(exe, size_t(n));
            dir.erase(dir.rfind('/') + 1);
            list.push_back(dir + m_module);
            list.push_back(dir + "../" CANTORIX_MODULE_DIR "/" + m_module);
        }
        list.push_back(m_module);
        return list;
    }

    std::string m_module;
    std::unique_ptr<THttpClient> m_client;
    QString m_failure;
};

} // namespace

std::unique_ptr<THttpClient> NewQtHttpClient(const char* module)
{
    return std::make_unique<TModuleHttpClient>(module ? module : HttpModuleName);
}

} // namespace cantorix

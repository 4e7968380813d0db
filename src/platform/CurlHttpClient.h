#pragma once

#include <chrono>

#include "core/Services.h"

namespace velmor {

// The web page fetch over libcurl: GET as HTTP/1.0 with an old browser's user agent, any
// type accepted, never from a cache, TLS for https, redirects followed, no proxy. The body is
// returned whatever the status; a transfer that cannot connect, runs too long or grows past
// the size limit fails with its reason.
class CurlHttpClient : public HttpClient {
public:
    struct Limits {
        std::chrono::milliseconds connect{std::chrono::seconds(15)};
        std::chrono::milliseconds total{std::chrono::seconds(120)};
        std::uint64_t maxBytes = std::uint64_t{256} << 20;
    };

    CurlHttpClient();
    explicit CurlHttpClient(Limits limits);

    Result Get(const std::string& address, const ProgressCallback& progress) override;

private:
    Limits m_limits;
};

inline constexpr const char* kFetchUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

}  // namespace velmor

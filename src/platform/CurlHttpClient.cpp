#include "platform/CurlHttpClient.h"

#include <curl/curl.h>

#include <memory>

namespace velmor {

namespace {

struct Transfer {
    ByteString body;
    std::uint64_t maxBytes = 0;
    const HttpClient::ProgressCallback* progress = nullptr;
    bool tooLarge = false;
    bool cancelled = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    if (transfer.body.size() + length > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;  // anything short of length aborts the transfer
    }
    transfer.body.append(data, length);
    return length;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.progress != nullptr && *transfer.progress &&
        !(*transfer.progress)(transfer.body.size())) {
        transfer.cancelled = true;
        return 1;
    }
    return 0;
}

std::string Reason(CURLcode code, const Transfer& transfer) {
    if (transfer.cancelled) {
        return "已取消";
    }
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        return "网页超过 " + std::to_string(transfer.maxBytes >> 20) + " MiB";
    }
    std::string reason;
    switch (code) {
        case CURLE_URL_MALFORMAT:
            reason = "网址无法解析";
            break;
        case CURLE_UNSUPPORTED_PROTOCOL:
            reason = "不支持的协议";
            break;
        case CURLE_COULDNT_RESOLVE_HOST:
            reason = "找不到主机";
            break;
        case CURLE_COULDNT_CONNECT:
            reason = "无法连接";
            break;
        case CURLE_OPERATION_TIMEDOUT:
            reason = "超时";
            break;
        default:
            reason = "传输失败";
            break;
    }
    return reason + "（" + curl_easy_strerror(code) + "）";
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct HeaderListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

CurlHttpClient::CurlHttpClient() : CurlHttpClient(Limits()) {}

CurlHttpClient::CurlHttpClient(Limits limits) : m_limits(limits) {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

HttpClient::Result CurlHttpClient::Get(const std::string& address,
                                       const ProgressCallback& progress) {
    Result result;
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.reason = "无法开始传输";
        return result;
    }
    Transfer transfer;
    transfer.maxBytes = m_limits.maxBytes;
    transfer.progress = &progress;

    curl_slist* headers = nullptr;
    for (const char* header : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        headers = curl_slist_append(headers, header);
    }
    const std::unique_ptr<curl_slist, HeaderListDeleter> headerList(headers);

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, address.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kFetchUserAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 20L);
    // A direct connection, whatever the environment's proxy variables say.
    curl_easy_setopt(handle, CURLOPT_PROXY, "");
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(m_limits.connect.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.total.count()));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_limits.maxBytes));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK) {
        result.reason = Reason(code, transfer);
        return result;
    }
    result.body = std::move(transfer.body);
    return result;
}

}  // namespace velmor

#include "platform/CurlHttpClient.h"

#include <memory>

#include "platform/CurlLibrary.h"

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

std::string Reason(const CurlLibrary& curl, CURLcode code, const Transfer& transfer) {
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
    return reason + "（" + curl.easyStrerror(code) + "）";
}

struct CurlDeleter {
    const CurlLibrary* curl;
    void operator()(CURL* handle) const { curl->easyCleanup(handle); }
};
struct HeaderListDeleter {
    const CurlLibrary* curl;
    void operator()(curl_slist* list) const { curl->slistFreeAll(list); }
};

}  // namespace

CurlHttpClient::CurlHttpClient() : CurlHttpClient(Limits()) {}

CurlHttpClient::CurlHttpClient(Limits limits) : m_limits(limits) {}

HttpClient::Result CurlHttpClient::Get(const std::string& address,
                                       const ProgressCallback& progress) {
    Result result;
    const CurlLibrary* const library = LoadCurlLibrary();
    if (library == nullptr) {
        result.reason = "无法开始传输（找不到 libcurl）";
        return result;
    }
    const std::unique_ptr<CURL, CurlDeleter> curl(library->easyInit(), CurlDeleter{library});
    if (!curl) {
        result.reason = "无法开始传输";
        return result;
    }
    Transfer transfer;
    transfer.maxBytes = m_limits.maxBytes;
    transfer.progress = &progress;

    curl_slist* headers = nullptr;
    for (const char* header : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        headers = library->slistAppend(headers, header);
    }
    const std::unique_ptr<curl_slist, HeaderListDeleter> headerList(headers,
                                                                    HeaderListDeleter{library});

    CURL* handle = curl.get();
    const auto set = library->easySetopt;
    set(handle, CURLOPT_URL, address.c_str());
    set(handle, CURLOPT_HTTPGET, 1L);
    set(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    set(handle, CURLOPT_USERAGENT, kFetchUserAgent);
    set(handle, CURLOPT_HTTPHEADER, headerList.get());
    set(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    set(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    set(handle, CURLOPT_FOLLOWLOCATION, 1L);
    set(handle, CURLOPT_MAXREDIRS, 20L);
    // A direct connection, whatever the environment's proxy variables say.
    set(handle, CURLOPT_PROXY, "");
    set(handle, CURLOPT_NOPROXY, "*");
    set(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_limits.connect.count()));
    set(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(m_limits.total.count()));
    set(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_limits.maxBytes));
    set(handle, CURLOPT_NOSIGNAL, 1L);
    set(handle, CURLOPT_WRITEFUNCTION, OnBody);
    set(handle, CURLOPT_WRITEDATA, &transfer);
    set(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    set(handle, CURLOPT_XFERINFODATA, &transfer);
    set(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = library->easyPerform(handle);
    if (code != CURLE_OK) {
        result.reason = Reason(*library, code, transfer);
        return result;
    }
    result.body = std::move(transfer.body);
    return result;
}

}  // namespace velmor

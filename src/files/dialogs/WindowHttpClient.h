#pragma once

#include <QWidget>

#include "platform/CurlHttpClient.h"

namespace velmor {

// The fetch as the window runs it: the transfer runs on a thread of its own while a small
// progress window with a cancel button keeps the window responsive; Get returns on the
// user-interface thread once the transfer has ended.
class WindowHttpClient : public HttpClient {
public:
    explicit WindowHttpClient(CurlHttpClient::Limits limits = {});
    Result Get(const std::string& address, const ProgressCallback& progress) override;

private:
    CurlHttpClient m_client;
};

}  // namespace velmor

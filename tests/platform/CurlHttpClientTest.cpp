#include <gtest/gtest.h>

#include "../support/LocalHttpServer.h"
#include "platform/CurlHttpClient.h"

namespace velmor {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::LocalHttpServer;

std::string Ok(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

class CurlHttpClientTest : public ::testing::Test {
protected:
    CurlHttpClientTest() {
        m_server.Answer("/page", {Ok("<html>\xD6\xD0</html>")});
        m_server.Answer("/moved", {"HTTP/1.0 302 Found\r\nLocation: /page\r\n\r\n"});
        m_server.Answer("/zero", {Ok("ab\0cd"s)});
        m_server.Answer("/error", {"HTTP/1.0 500 Internal Server Error\r\n\r\nsorry"});
        m_server.Answer("/slow", {"HTTP/1.0 200 OK\r\n\r\npartial", 5s});
        m_server.Answer("/big", {"HTTP/1.0 200 OK\r\n\r\n", 0ms, 4u << 20});
        m_server.Answer("/declared", {"HTTP/1.0 200 OK\r\nContent-Length: 3221225472\r\n\r\nx"});
    }

    CurlHttpClient::Limits SmallLimits() const {
        CurlHttpClient::Limits limits;
        limits.connect = 2s;
        limits.total = 700ms;
        limits.maxBytes = 1u << 20;
        return limits;
    }

    LocalHttpServer m_server;
};

TEST_F(CurlHttpClientTest, SendsTheRequestOfAnOldBrowser) {
    CurlHttpClient client;
    const HttpClient::Result result = client.Get(m_server.Url("/page"), nullptr);
    ASSERT_TRUE(result.body) << result.reason;
    EXPECT_EQ(*result.body, "<html>\xD6\xD0</html>");
    const std::string request = m_server.Requests().at(0);
    EXPECT_TRUE(request.starts_with("GET /page HTTP/1.0\r\n")) << request;
    EXPECT_NE(
        request.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"),
        std::string::npos);
    EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nCache-Control: no-cache\r\n"), std::string::npos);
}

TEST_F(CurlHttpClientTest, BodiesComeBackWhole) {
    const struct {
        const char* path;
        std::string body;
    } rows[] = {{"/moved", "<html>\xD6\xD0</html>"},  // redirects are followed
                {"/zero", "ab\0cd"s},                 // the caller cuts at the zero byte
                {"/error", "sorry"},                  // an error status is no failure
                {"/unknown", "no such page"}};
    CurlHttpClient client;
    for (const auto& row : rows) {
        const HttpClient::Result result = client.Get(m_server.Url(row.path), nullptr);
        ASSERT_TRUE(result.body) << row.path << ": " << result.reason;
        EXPECT_EQ(*result.body, row.body) << row.path;
    }
}

TEST_F(CurlHttpClientTest, FailuresSayWhy) {
    // A port that was free a moment ago answers nothing.
    std::string closedUrl;
    {
        LocalHttpServer gone;
        closedUrl = gone.Url("/");
    }
    const struct {
        std::string address;
        const char* reasonStart;
    } rows[] = {{m_server.Url("/slow"), "超时"},
                {m_server.Url("/big"), "网页超过 1 MiB"},
                {m_server.Url("/declared"), "网页超过 1 MiB"},
                {closedUrl, "无法连接"},
                {"http://", "网址无法解析"},
                {"ftp://127.0.0.1/", "不支持的协议"},
                {"file:///etc/hostname", "不支持的协议"}};
    CurlHttpClient client(SmallLimits());
    for (const auto& row : rows) {
        const auto started = std::chrono::steady_clock::now();
        const HttpClient::Result result = client.Get(row.address, nullptr);
        EXPECT_FALSE(result.body) << row.address;
        EXPECT_TRUE(result.reason.starts_with(row.reasonStart))
            << row.address << ": " << result.reason;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 3s) << row.address;
    }
}

TEST_F(CurlHttpClientTest, TheProgressCallbackCancels) {
    CurlHttpClient client;
    int calls = 0;
    const HttpClient::Result result =
        client.Get(m_server.Url("/slow"), [&](std::uint64_t) { return ++calls < 3; });
    EXPECT_FALSE(result.body);
    EXPECT_EQ(result.reason, "已取消");
}

}  // namespace
}  // namespace velmor

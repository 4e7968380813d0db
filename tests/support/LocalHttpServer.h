#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmor::test {

// A small HTTP server on 127.0.0.1 at a free port, for fetch tests that must never leave the
// machine. Each path answers with a fixed raw response; a response may end in a pause that
// keeps the connection open, and every request is kept for inspection.
class LocalHttpServer {
public:
    struct Response {
        std::string raw;                     // status line, headers and body as sent
        std::chrono::milliseconds pause{0};  // then stay silent this long before closing
        std::size_t repeatBody = 0;          // then send this many bytes of 'x' more
    };

    LocalHttpServer() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~LocalHttpServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
        for (std::thread& connection : m_connections) {
            connection.join();
        }
    }

    void Answer(const std::string& path, Response response) {
        std::lock_guard lock(m_mutex);
        m_responses[path] = std::move(response);
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

    std::vector<std::string> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    void Serve() {
        while (!m_stop) {
            pollfd waiting{m_listener, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) {
                continue;
            }
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                m_connections.emplace_back([this, client] { Handle(client); });
            }
        }
    }

    void Handle(int client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(got));
        }
        Response response;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
            const std::size_t start = request.find(' ') + 1;
            const std::string path = request.substr(start, request.find(' ', start) - start);
            const auto found = m_responses.find(path);
            response = found != m_responses.end()
                           ? found->second
                           : Response{"HTTP/1.0 404 Not Found\r\n\r\nno such page", {}, 0};
        }
        Send(client, response.raw);
        const std::string chunk(64 * 1024, 'x');
        for (std::size_t sent = 0; sent < response.repeatBody && !m_stop; sent += chunk.size()) {
            if (!Send(client, chunk)) {
                break;
            }
        }
        const auto until = std::chrono::steady_clock::now() + response.pause;
        while (!m_stop && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(client);
    }

    static bool Send(int client, const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t put =
                ::send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (put <= 0) {
                return false;
            }
            sent += static_cast<std::size_t>(put);
        }
        return true;
    }

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::vector<std::thread> m_connections;  // touched by the serving thread only
    mutable std::mutex m_mutex;
    std::map<std::string, Response> m_responses;
    std::vector<std::string> m_requests;
};

}  // namespace velmor::test

#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmor::test {

// glibc's converters, the independent implementation the codecs are checked against.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when any of it is rejected.
    std::optional<std::string> Convert(std::string_view input) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string result(4 * input.size() + 16, '\0');
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* out = result.data();
        size_t outLeft = result.size();
        if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        result.resize(result.size() - outLeft);
        return result;
    }

private:
    iconv_t m_cd;
};

}  // namespace velmor::test

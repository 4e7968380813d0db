#include "platform/SystemSecureRandom.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace velmor {

namespace {

bool FillFromDevice(unsigned char* bytes, std::size_t count) {
    std::FILE* device = std::fopen("/dev/urandom", "rb");
    if (device == nullptr) {
        return false;
    }
    const bool filled = std::fread(bytes, 1, count, device) == count;
    std::fclose(device);
    return filled;
}

}  // namespace

void SystemSecureRandom::Fill(unsigned char* bytes, std::size_t count) const {
    while (count > 0) {
        const ssize_t got = getrandom(bytes, count, 0);
        if (got > 0) {
            bytes += got;
            count -= static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (!FillFromDevice(bytes, count)) {
            throw std::runtime_error("the system gives no random bytes");
        }
        return;
    }
}

}  // namespace velmor

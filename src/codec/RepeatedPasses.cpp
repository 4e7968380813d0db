#include "codec/RepeatedPasses.h"

#include <cstring>
#include <unordered_map>

namespace velmor {

namespace {

// Only texts this short are remembered; longer ones shrink or grow with every pass of a codec.
constexpr std::size_t kRememberedLength = 64;
constexpr std::size_t kRememberedTexts = 1 << 20;

}  // namespace

bool RunPasses(Text& text, long long count, const std::function<bool(Text&)>& pass) {
    std::unordered_map<Text, long long> seenAt;
    bool cycleSkipped = false;
    for (long long done = 0; done < count; ++done) {
        if (!cycleSkipped && text.size() <= kRememberedLength && seenAt.size() < kRememberedTexts) {
            auto [found, inserted] = seenAt.try_emplace(text, done);
            if (!inserted) {
                // Whole turns of the cycle change nothing; less than one turn is left to run.
                const long long period = done - found->second;
                done = count - (count - done) % period;
                cycleSkipped = true;
                seenAt.clear();
                if (done >= count) {
                    break;
                }
            }
        }
        if (!pass(text)) {
            return false;
        }
    }
    return true;
}

Text ToTextInPlace(ByteString bytes) {
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    if (zero != nullptr) {
        bytes.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()));
    }
    return bytes;
}

}  // namespace velmor

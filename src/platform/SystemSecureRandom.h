#pragma once

#include "core/Services.h"

namespace velmor {

// Random bytes from the kernel's getrandom, falling back to /dev/urandom where the call is
// missing. Throws std::runtime_error when neither gives bytes.
class SystemSecureRandom : public SecureRandomSource {
public:
    void Fill(unsigned char* bytes, std::size_t count) const override;
};

}  // namespace velmor

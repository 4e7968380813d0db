#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/Services.h"

namespace opencc {
class SimpleConverter;
}

namespace velmor {

// Simplified/traditional conversion by OpenCC's phrase dictionaries (s2t.json, t2s.json).
// Each direction is loaded on its first use; a direction that cannot be loaded returns its
// input unchanged.
class OpenCcConverter : public ChineseConverter {
public:
    explicit OpenCcConverter(std::string configDirectory = "/usr/share/opencc");
    ~OpenCcConverter() override;

    std::string ToSimplified(std::string_view utf8) const override;
    std::string ToTraditional(std::string_view utf8) const override;

    // Whether the direction's dictionaries load (loading them now if not yet tried).
    bool CanConvertToSimplified() const;
    bool CanConvertToTraditional() const;

private:
    struct Direction {
        std::string configFile;
        mutable bool tried = false;
        mutable std::unique_ptr<opencc::SimpleConverter> converter;
    };

    static const opencc::SimpleConverter* Load(const Direction& direction);
    static std::string Convert(const Direction& direction, std::string_view utf8);

    Direction m_toSimplified;
    Direction m_toTraditional;
};

}  // namespace velmor

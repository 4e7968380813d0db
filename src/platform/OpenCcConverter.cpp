#include "platform/OpenCcConverter.h"

#include <opencc/SimpleConverter.hpp>

#include <exception>

namespace velmor {

OpenCcConverter::OpenCcConverter(std::string configDirectory) {
    if (!configDirectory.empty() && configDirectory.back() != '/') {
        configDirectory += '/';
    }
    m_toSimplified.configFile = configDirectory + "t2s.json";
    m_toTraditional.configFile = configDirectory + "s2t.json";
}

OpenCcConverter::~OpenCcConverter() = default;

const opencc::SimpleConverter* OpenCcConverter::Load(const Direction& direction) {
    if (!direction.tried) {
        direction.tried = true;
        try {
            direction.converter = std::make_unique<opencc::SimpleConverter>(direction.configFile);
        } catch (const std::exception&) {
            direction.converter.reset();
        }
    }
    return direction.converter.get();
}

std::string OpenCcConverter::Convert(const Direction& direction, std::string_view utf8) {
    const opencc::SimpleConverter* converter = Load(direction);
    if (converter == nullptr || utf8.empty()) {
        return std::string(utf8);
    }
    try {
        return converter->Convert(utf8.data(), utf8.size());
    } catch (const std::exception&) {
        return std::string(utf8);
    }
}

std::string OpenCcConverter::ToSimplified(std::string_view utf8) const {
    return Convert(m_toSimplified, utf8);
}

std::string OpenCcConverter::ToTraditional(std::string_view utf8) const {
    return Convert(m_toTraditional, utf8);
}

bool OpenCcConverter::CanConvertToSimplified() const {
    return Load(m_toSimplified) != nullptr;
}

bool OpenCcConverter::CanConvertToTraditional() const {
    return Load(m_toTraditional) != nullptr;
}

}  // namespace velmor

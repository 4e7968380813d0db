#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/DateTime.h"
#include "core/Random.h"
#include "core/ScriptHost.h"
#include "core/Text.h"

namespace velmor {

// Simplified/traditional Chinese conversion of UTF-8 text (phrase-aware where it can be).
class ChineseConverter {
public:
    virtual ~ChineseConverter() = default;
    virtual std::string ToSimplified(std::string_view utf8) const = 0;
    virtual std::string ToTraditional(std::string_view utf8) const = 0;
};

// String values under HKEY_CURRENT_USER, addressed by a key path such as
// "Software\Zelbra 记事本\常用文件" and a value name ("" for the default value). Values are
// document texts; a missing value reads as the empty text, a failed write is ignored.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual Text ReadString(const std::string& keyPath, const std::string& valueName) const = 0;
    virtual void WriteString(const std::string& keyPath, const std::string& valueName,
                             const Text& value) = 0;
};

// The system's cryptographic random bytes. Runs whose tick source is fixed have none, so that
// everything they draw comes from the reproducible RandomGenerator.
class SecureRandomSource {
public:
    virtual ~SecureRandomSource() = default;
    virtual void Fill(unsigned char* bytes, std::size_t count) const = 0;
};

// The services of the platform a command may use, handed in by whoever runs it. A service a
// run does not provide is null; the commands that need it are not offered there.
struct Services {
    const Clock* clock = nullptr;
    RandomGenerator* random = nullptr;
    const ChineseConverter* chinese = nullptr;
    SettingsStore* settings = nullptr;
    const SecureRandomSource* secureRandom = nullptr;
    const ScriptHostFactory* scripts = nullptr;
};

}  // namespace velmor

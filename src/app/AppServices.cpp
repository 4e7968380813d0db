#include "app/AppServices.h"

#include "platform/OpenCcConverter.h"

namespace velmor {

namespace {

class ReadOnlySettings : public SettingsStore {
public:
    explicit ReadOnlySettings(const SettingsStore& source) : m_source(source) {}

    Text ReadString(const std::string& keyPath, const std::string& valueName) const override {
        return m_source.ReadString(keyPath, valueName);
    }
    void WriteString(const std::string&, const std::string&, const Text&) override {}

private:
    const SettingsStore& m_source;
};

}  // namespace

AppServices::AppServices(SettingsMode mode)
    : m_registry(RegistryFile::DefaultLocation()), m_chinese(std::make_unique<OpenCcConverter>()) {
    if (mode == SettingsMode::ReadOnly) {
        m_readOnly = std::make_unique<ReadOnlySettings>(m_registry);
    }
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.secureRandom = &m_secureRandom;
    m_services.chinese = m_chinese.get();
    m_services.scripts = &m_scripts;
    m_services.settings = m_readOnly ? m_readOnly.get() : &m_registry;
}

AppServices::~AppServices() = default;

}  // namespace velmor

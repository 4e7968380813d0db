#include "app/AppServices.h"

#include "files/dialogs/ProgressWindow.h"
#include "files/dialogs/WindowHttpClient.h"
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

// The edit box keeps the text as UTF-8 of at most 2 GiB, up to three bytes for two of GBK.
constexpr std::uint64_t kWindowLargestText = (std::uint64_t{1} << 31) / 3 * 2;

}  // namespace

AppServices::AppServices(SettingsMode mode)
    : m_registry(RegistryFile::DefaultLocation()),
      m_chinese(std::make_unique<OpenCcConverter>()),
      m_http(std::make_unique<WindowHttpClient>()),
      m_memory(kWindowLargestText) {
    if (mode == SettingsMode::ReadOnly) {
        m_readOnly = std::make_unique<ReadOnlySettings>(m_registry);
    }
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.secureRandom = &m_secureRandom;
    m_services.chinese = m_chinese.get();
    m_services.scripts = &m_scripts;
    m_services.settings = m_readOnly ? m_readOnly.get() : &m_registry;
    m_services.files = &m_files;
    m_services.http = m_http.get();
    m_services.shell = &m_shell;
    m_services.memory = &m_memory;
    m_services.progress = [](const std::string& title) -> std::unique_ptr<ProgressReporter> {
        return std::make_unique<ProgressWindow>(title);
    };
}

AppServices::~AppServices() = default;

}  // namespace velmor

#pragma once

#include <memory>

#include "core/Services.h"
#include "platform/DesktopOpener.h"
#include "platform/JsScriptHost.h"
#include "platform/LocalFileSystem.h"
#include "platform/RegistryFile.h"
#include "platform/SystemClock.h"
#include "platform/SystemMemoryBudget.h"
#include "platform/SystemSecureRandom.h"

namespace velmor {

// Owns the platform services of one run and hands them out as a Services struct.
class AppServices {
public:
    enum class SettingsMode { ReadWrite, ReadOnly };

    // The settings live at RegistryFile::DefaultLocation(); ReadOnly drops every write (for
    // runs that only look at the window, such as the user-interface dump).
    explicit AppServices(SettingsMode mode = SettingsMode::ReadWrite);
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    Services& Get() { return m_services; }

private:
    SystemClock m_clock;
    SystemTickSource m_ticks;
    RandomGenerator m_random{m_ticks};
    SystemSecureRandom m_secureRandom;
    RegistryFile m_registry;
    std::unique_ptr<SettingsStore> m_readOnly;
    std::unique_ptr<ChineseConverter> m_chinese;
    LocalFileSystem m_files;
    std::unique_ptr<HttpClient> m_http;
    DesktopOpener m_shell;
    JsScriptHostFactory m_scripts;
    SystemMemoryBudget m_memory;
    Services m_services;
};

}  // namespace velmor

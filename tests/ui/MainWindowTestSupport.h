#pragma once

#include <QTemporaryDir>
#include <memory>

#include "app/MainWindow.h"
#include "core/DateTime.h"
#include "core/FixedTime.h"
#include "core/Random.h"
#include "platform/RegistryFile.h"

namespace velmor::test {

// A window on a settings file of its own (VELMOR_SETTINGS_FILE points there as well) and a
// clock the test sets.
class WindowFixture {
public:
    WindowFixture()
        : m_settingsPath(m_dir.filePath(QStringLiteral("registry.reg"))),
          m_settings(m_settingsPath) {
        qputenv("VELMOR_SETTINGS_FILE", m_settingsPath.toLocal8Bit());
        m_services.clock = &m_clock;
        m_services.random = &m_random;
        m_services.settings = &m_settings;
    }
    ~WindowFixture() { qunsetenv("VELMOR_SETTINGS_FILE"); }

    MainWindow& Open() {
        m_window = std::make_unique<MainWindow>(m_services);
        return *m_window;
    }
    void Close() { m_window.reset(); }

    MainWindow& Window() { return *m_window; }
    RegistryFile& Settings() { return m_settings; }
    FixedClock& TestClock() { return m_clock; }
    // The services the next Open hands to the window; a test may add its own.
    Services& TestServices() { return m_services; }
    const QString& SettingsPath() const { return m_settingsPath; }

private:
    QTemporaryDir m_dir;
    QString m_settingsPath;
    RegistryFile m_settings;
    FixedClock m_clock{MakeDateTime(2017, 3, 5, 9, 30, 0)};
    FixedTickSource m_ticks{1000};
    RandomGenerator m_random{m_ticks};
    Services m_services;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace velmor::test

#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include "app/FileDialogBox.h"
#include "app/MainWindow.h"
#include "app/WindowCommands.h"
#include "platform/RegistryFile.h"
#include "platform/SystemClock.h"

namespace velmor {

// The bound window of a normal run, shown, on a settings file of its own. base gives the
// other services (the Chinese converter, the memory budget) where a benchmark needs them.
struct BoundWindow {
    explicit BoundWindow(const Services& base = {})
        : settings(folder.filePath(QStringLiteral("registry.reg"))), services(base) {
        services.clock = &clock;
        services.settings = &settings;
        window = std::make_unique<MainWindow>(services);
        commands = new WindowCommands(*window, std::make_unique<FileDialogBox>(window.get()));
        window->show();
        QApplication::processEvents();
    }

    QTemporaryDir folder;
    SystemClock clock;
    RegistryFile settings;
    Services services;
    std::unique_ptr<MainWindow> window;
    WindowCommands* commands = nullptr;
};

}  // namespace velmor

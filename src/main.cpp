#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppServices.h"
#include "app/FileDialogBox.h"
#include "app/MainWindow.h"
#include "app/QtTranslations.h"
#include "app/UiDump.h"
#include "app/WindowCommands.h"

namespace {

int DumpUserInterface(int argc, char** argv, const char* path) {
    // Looking at the window needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    velmor::InstallQtChineseTranslations(app);
    velmor::AppServices services(velmor::AppServices::SettingsMode::ReadOnly);
    velmor::MainWindow window(services.Get());
    // Owned by the window, as in a normal run, so the dump shows every item bound.
    new velmor::WindowCommands(window, std::make_unique<velmor::FileDialogBox>(&window));
    if (!velmor::WriteUserInterfaceDump(window, QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "velmor: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump-ui") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "usage: velmor --dump-ui FILE\n");
                return 2;
            }
            return DumpUserInterface(argc, argv, argv[i + 1]);
        }
    }

    QApplication app(argc, argv);
    velmor::InstallQtChineseTranslations(app);
    velmor::AppServices services;
    QPointer<velmor::MainWindow> window = new velmor::MainWindow(services.Get());
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Owned by the window: the document lives as long as it does.
    new velmor::WindowCommands(*window, std::make_unique<velmor::FileDialogBox>(window));
    // The run ends with the main window, whatever dialogs are still open.
    QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
    const QStringList arguments = app.arguments();
    window->show();
    if (arguments.size() > 1) {
        window->openAtStart(arguments.at(1));
    }
    const int status = app.exec();
    delete window.data();
    return status;
}

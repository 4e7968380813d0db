#include "platform/DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace velmor {

namespace {

bool HasAssociatedProgram(const QString& path) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return false;
    }
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

// Wine sees the Linux file system as drive Z:.
QString WinePath(const QString& path) {
    QString windows = QStringLiteral("Z:") + QFileInfo(path).absoluteFilePath();
    windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return windows;
}

bool RunWithWine(const QString& path) {
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) {
        return false;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    QStringList arguments;
    if (suffix == QLatin1String("vbs")) {
        arguments = {QStringLiteral("wscript"), WinePath(path)};
    } else if (suffix == QLatin1String("bat")) {
        arguments = {QStringLiteral("cmd"), QStringLiteral("/c"), WinePath(path)};
    } else {
        return false;
    }
    return QProcess::startDetached(wine, arguments);
}

}  // namespace

DesktopShell::Outcome DesktopOpener::Open(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (HasAssociatedProgram(file) && QDesktopServices::openUrl(QUrl::fromLocalFile(file))) {
        return Outcome::Opened;
    }
    return RunWithWine(file) ? Outcome::Opened : Outcome::NoProgram;
}

}  // namespace velmor

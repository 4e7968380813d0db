#include "app/FileDialogBox.h"

#include <QFileDialog>
#include <QFileInfo>

#include "core/CodePage936.h"

namespace velmor {

QStringList ToQtNameFilters(std::string_view filter) {
    const QStringList parts = QString::fromUtf8(filter.data(), qsizetype(filter.size())).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern =
            parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

bool FileDialogBox::Show(FileDialogKind kind, const std::string& title) {
    QFileDialog dialog(m_parent, QString::fromStdString(title));
    const bool opening = kind == FileDialogKind::Open;
    dialog.setAcceptMode(opening ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(opening ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The descriptions already name their patterns; showing Qt's copy as well would double them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = ToQtNameFilters(kDocumentFileFilter);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    dialog.setDefaultSuffix(QString::fromLatin1(kDocumentDefaultSuffix));
    if (!InitialFolder().empty()) {
        dialog.setDirectory(QString::fromStdString(GbkToUtf8(InitialFolder())));
    }
    if (!FileName().empty()) {
        dialog.selectFile(QFileInfo(QString::fromStdString(GbkToUtf8(FileName()))).fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    SetFileName(Utf8ToGbk(dialog.selectedFiles().front().toStdString()));
    return true;
}

}  // namespace velmor

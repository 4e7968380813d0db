#include "app/FileDialogBox.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <memory>

#include "core/CodePage936.h"

namespace velmor {

namespace {
constexpr QSize kOpeningSize(760, 460);
constexpr int kWidestNameColumn = 420;
}  // namespace

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

namespace {

// Qt's opening size cuts the size, type and date columns off. Once the first folder is
// listed, every column gets the width of its title and widest entry (names up to a limit,
// beyond which they elide), and the dialog grows by whatever the view then lacks.
void FitColumns(QFileDialog& dialog) {
    dialog.resize(dialog.sizeHint().expandedTo(kOpeningSize));
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (view == nullptr || model == nullptr) {
        return;
    }
    auto fitted = std::make_shared<bool>(false);
    const auto fit = [&dialog, view, fitted] {
        QHeaderView* header = view->header();
        const auto* items = static_cast<const QAbstractItemView*>(view);
        int used = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) {
                continue;
            }
            int wanted =
                std::max(header->sectionSizeHint(column), items->sizeHintForColumn(column));
            if (column == 0) {
                wanted = std::min(wanted, kWidestNameColumn);
            }
            if (header->sectionSize(column) < wanted) {
                header->resizeSection(column, wanted);
            }
            used += header->sectionSize(column);
        }
        const int lacking = used - view->viewport()->width();
        if (!*fitted && lacking > 0) {
            const int room = dialog.screen() != nullptr
                                 ? dialog.screen()->availableGeometry().width() * 9 / 10
                                 : dialog.width() + lacking;
            dialog.resize(std::min(dialog.width() + lacking, std::max(room, dialog.width())),
                          dialog.height());
        }
        *fitted = true;
    };
    // The view fills in after the signal; fitting waits for it.
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                     [&dialog, fit] { QTimer::singleShot(0, &dialog, fit); });
}

// The encoding list below the file type list: kAutomaticEncoding first when opening, then every
// FileEncoding; each item carries its encoding's index (-1 for recognition).
QComboBox* AddEncodingList(QFileDialog& dialog, bool opening, std::optional<FileEncoding> shown) {
    auto* list = new QComboBox(&dialog);
    list->setObjectName(QStringLiteral("编码"));
    if (opening) {
        list->addItem(QString::fromUtf8(kAutomaticEncoding), -1);
    }
    for (FileEncoding encoding : kFileEncodings) {
        list->addItem(QString::fromUtf8(EncodingName(encoding)), static_cast<int>(encoding));
    }
    const int wanted = shown ? static_cast<int>(*shown) : -1;
    list->setCurrentIndex(std::max(0, list->findData(wanted)));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        auto* label = new QLabel(QStringLiteral("编码："), &dialog);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
    }
    return list;
}
// The file system model formats sizes and dates in the system's locale, which may be C; the
// dialog shows them in Chinese, as the program's default locale does the types.
class ChineseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr ||
            (index.column() != kSizeColumn && index.column() != kDateColumn)) {
            return QIdentityProxyModel::data(index, role);
        }
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        if (index.column() == kDateColumn) {
            return chinese.toString(info.lastModified(), QLocale::ShortFormat);
        }
        return info.isDir() ? QIdentityProxyModel::data(index, role)
                            : QVariant(chinese.formattedDataSize(info.size()));
    }

private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

}  // namespace

void PrepareFileDialog(QFileDialog& dialog, std::string_view filter) {
    // The descriptions already name their patterns; showing Qt's copy as well would double them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Qt's own dialog speaks the program's language whatever the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setProxyModel(new ChineseFileColumns(&dialog));
    const QStringList filters = ToQtNameFilters(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    FitColumns(dialog);
}

bool FileDialogBox::Show(FileDialogKind kind, const std::string& title) {
    QFileDialog dialog(m_parent, QString::fromStdString(title));
    const bool opening = kind == FileDialogKind::Open;
    dialog.setAcceptMode(opening ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(opening ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    PrepareFileDialog(dialog, kDocumentFileFilter);
    dialog.setDefaultSuffix(QString::fromLatin1(kDocumentDefaultSuffix));
    if (!InitialFolder().empty()) {
        dialog.setDirectory(QString::fromStdString(GbkToUtf8(InitialFolder())));
    }
    if (!FileName().empty()) {
        dialog.selectFile(QFileInfo(QString::fromStdString(GbkToUtf8(FileName()))).fileName());
    }
    const QComboBox* encodings = AddEncodingList(dialog, opening, Encoding());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const int chosen = encodings->currentData().toInt();
    SetEncoding(chosen < 0 ? std::nullopt : std::optional(static_cast<FileEncoding>(chosen)));
    SetFileName(Utf8ToGbk(dialog.selectedFiles().front().toStdString()));
    return true;
}

}  // namespace velmor

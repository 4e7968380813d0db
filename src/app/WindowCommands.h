#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DocumentController.h"
#include "app/FileDialog.h"
#include "core/SupportNotice.h"
#include "core/UndoHistory.h"

class QPrinter;

namespace velmor {

class MainWindow;
class ScintillaEditor;

// The document and the commands of the file, edit, format and help menus bound to a
// MainWindow: the file commands with the save question, the undo history, the clipboard,
// word wrap, font, print, About, the contact picture, dropped files and the support notice.
// A child of the window, it lives as long as the window does.
class WindowCommands : public QObject {
    Q_OBJECT

public:
    // Shows the print dialog for the printer; true when the user chose to print.
    using PrintSetup = std::function<bool(QPrinter&)>;

    // Binds every handler; fileDialog is the window's file dialog from now on.
    WindowCommands(MainWindow& window, std::unique_ptr<FileDialog> fileDialog);
    ~WindowCommands() override;

    DocumentController& Documents() { return m_documents; }
    UndoHistory& History() { return m_history; }
    const SupportNotice& Notice() const { return m_notice; }
    FileDialog& Files() { return *m_fileDialog; }

    // Replaces the system print dialog (a test prints to a PDF file this way).
    void SetPrintSetup(PrintSetup setup) { m_printSetup = std::move(setup); }
    // Replaces the desktop's browser for the contact page.
    void SetContactOpener(std::function<void()> opener) { m_openContact = std::move(opener); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BindFileCommands();
    void BindEditCommands();
    void BindFormatAndHelpCommands();
    // One undo or redo step (caption tells which).
    void StepHistory(const char* caption);
    std::optional<OpenedFile> RunLoad(const std::string& path, const FileLoad& load);
    void OpenAtStart(const QString& path);
    void DropPaths(const QStringList& paths);
    bool FilterEditorDrop(QEvent* event);
    void ToggleWordWrap();
    void ChooseFont();
    void Print();

    MainWindow& m_window;
    QPointer<ScintillaEditor> m_editor;
    std::unique_ptr<FileDialog> m_fileDialog;
    DocumentController m_documents;
    UndoHistory m_history;
    SupportNotice m_notice;
    PrintSetup m_printSetup;
    std::function<void()> m_openContact;
    // What the font dialog showed when last confirmed.
    QFont m_font;
    QColor m_color;
};

}  // namespace velmor

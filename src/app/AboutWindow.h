#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class AboutWindow;
}

namespace velmor {

// 标签1 as the system shows it, with Windows line breaks.
extern const char* const kAboutText;
// The page the contact picture opens.
extern const char* const kContactUrl;

// "关于": a top-level window without owner that does not block; it deletes itself on close.
class AboutWindow : public QWidget {
    Q_OBJECT

public:
    AboutWindow();
    ~AboutWindow() override;

    // Creates and shows a new About window.
    static AboutWindow* Open();

private:
    std::unique_ptr<Ui::AboutWindow> m_ui;
};

// Asks the desktop to open kContactUrl in the default browser; a failure is not reported.
void OpenContactPage();

}  // namespace velmor

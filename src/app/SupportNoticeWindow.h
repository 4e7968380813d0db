#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class SupportNoticeWindow;
}

namespace velmor {

// 标签1 as the system shows it, with Windows line breaks.
extern const char* const kSupportNoticeText;
extern const char* const kSupportContactLine;

// The support notice: thanks the user, shows the days in use and asks for feedback. It has
// no buttons; the user closes it with the close box.
class SupportNoticeWindow : public QDialog {
    Q_OBJECT

public:
    explicit SupportNoticeWindow(int daysInUse, QWidget* parent = nullptr);
    ~SupportNoticeWindow() override;

    // Shows a notice and waits, blocking the whole application, until it is closed.
    static void ShowBlocking(int daysInUse);

private:
    void PlaceOverlays();

    std::unique_ptr<Ui::SupportNoticeWindow> m_ui;
};

}  // namespace velmor

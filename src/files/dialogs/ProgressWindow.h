#pragma once

#include <QPointer>
#include <QProgressDialog>

#include "core/Services.h"

namespace velmor {

// Progress of a long run over files, in a progress window with a cancel button; the window's
// events are handled at each step so that it stays responsive.
class ProgressWindow : public ProgressReporter {
public:
    explicit ProgressWindow(const std::string& title);
    ~ProgressWindow() override;

    bool Step(std::uint64_t done, std::uint64_t total) override;
    void Finish() override;

private:
    QPointer<QProgressDialog> m_dialog;
};

}  // namespace velmor

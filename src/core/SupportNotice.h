#pragma once

#include <functional>

namespace velmor {

// Whether this run shows the support notice: decided once, by the first step of the run.
class SupportNotice {
public:
    explicit SupportNotice(int daysInUse) : m_daysInUse(daysInUse) {}

    // The first call runs showWindow when DaysInUse is above 0 and a multiple of 5 or above
    // 100; every call leaves NoticeShown set, so later calls do nothing.
    void Step(const std::function<void()>& showWindow);

    int DaysInUse() const { return m_daysInUse; }
    bool NoticeShown() const { return m_shown; }

private:
    int m_daysInUse;
    bool m_shown = false;
};

}  // namespace velmor

#include "core/SupportNotice.h"

#include "core/Numbers.h"

namespace velmor {

void SupportNotice::Step(const std::function<void()>& showWindow) {
    if (m_shown) {
        return;
    }
    // Set first: a command run from inside the window must not open it a second time.
    m_shown = true;
    const bool onItsDay =
        m_daysInUse > 0 && (NearlyEqual(Remainder(m_daysInUse, 5), 0) || m_daysInUse > 100);
    if (onItsDay && showWindow) {
        showWindow();
    }
}

}  // namespace velmor

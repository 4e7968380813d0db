#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace velmor::test {

inline constexpr uid_t kNobody = 65534;

// Runs body as the user nobody in a child process and returns its exit status (0 when every
// check there held); nullopt when this process cannot become another user (it is not root).
inline std::optional<int> RunAsNobody(const std::function<int()>& body) {
    if (::geteuid() != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0) {
            ::_exit(100);
        }
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 101;
    }
    return WEXITSTATUS(status);
}

// Runs body as an ordinary user: this process when it is one, nobody when it is root.
inline int RunAsOrdinaryUser(const std::function<int()>& body) {
    if (::geteuid() != 0) {
        return body();
    }
    return RunAsNobody(body).value_or(102);
}

}  // namespace velmor::test

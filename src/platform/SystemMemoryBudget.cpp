#include "platform/SystemMemoryBudget.h"

#include <unistd.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>

namespace velmor {

std::uint64_t SystemMemoryBudget::AvailableFromMeminfo(std::string_view meminfo) {
    constexpr std::string_view kKey = "MemAvailable:";
    std::size_t at = meminfo.find(kKey);
    while (at != std::string_view::npos && at != 0 && meminfo[at - 1] != '\n') {
        at = meminfo.find(kKey, at + 1);
    }
    if (at == std::string_view::npos) {
        return 0;
    }
    std::size_t digits = meminfo.find_first_not_of(' ', at + kKey.size());
    if (digits == std::string_view::npos) {
        return 0;
    }
    std::uint64_t kibibytes = 0;
    const char* end = meminfo.data() + meminfo.size();
    const auto parsed = std::from_chars(meminfo.data() + digits, end, kibibytes);
    if (parsed.ec != std::errc() || kibibytes > UINT64_MAX / 1024) {
        return 0;
    }
    return kibibytes * 1024;
}

std::uint64_t SystemMemoryBudget::AvailableBytes() const {
    std::ifstream file("/proc/meminfo");
    const std::string meminfo{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    if (const std::uint64_t available = AvailableFromMeminfo(meminfo); available > 0) {
        return available;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0
               ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)
               : 0;
}

}  // namespace velmor

#pragma once

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

namespace velmor {

inline constexpr double kMegabyte = 1024.0 * 1024.0;

// The process's resident set now.
inline double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMegabyte;
}

// The highest resident set since the start, or since the last ResetPeakResident.
inline double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Bytes handed out by malloc and not yet freed, whether from the heap or mapped apart.
inline double HeapInUseMegabytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / kMegabyte;
}

// Gives free heap pages back and starts the peak afresh, so that a benchmark run after
// another in one process measures its own peak.
inline void ResetPeakResident() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace velmor

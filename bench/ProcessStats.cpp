#include "ProcessStats.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace prbench {

std::int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

long statusKiB(const char *field)
{
    std::ifstream in("/proc/self/status");
    const std::size_t length = std::strlen(field);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::atol(line.c_str() + length + 1);
    }
    return -1;
}

long peakRssKiB() { return statusKiB("VmHWM"); }

long currentRssKiB()
{
    std::ifstream in("/proc/self/statm");
    long size = 0, resident = 0;
    if (!(in >> size >> resident))
        return -1;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::size_t heapInUseBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

} // namespace prbench

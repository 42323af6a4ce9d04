#pragma once
#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

// Order statistics of a batch of samples. Timings on a shared machine have a long upper
// tail, so medians and percentiles say more than means; the mean is kept for comparison.
namespace prbench {

// q in [0, 1], nearest rank. The samples are taken by value and sorted.
inline double percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto rank = std::size_t(q * double(v.size() - 1) + 0.5);
    return v[std::min(rank, v.size() - 1)];
}

inline double median(std::vector<double> v) { return percentile(std::move(v), 0.5); }

inline double mean(const std::vector<double> &v)
{
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

} // namespace prbench

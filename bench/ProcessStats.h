#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Process-wide clocks and memory figures for the benchmarks, with no toolkit underneath so
// the start-up driver stays a small process whose own footprint does not colour the
// children's peak memory.
namespace prbench {

// CLOCK_MONOTONIC in nanoseconds: one clock for every process of the machine, so a child's
// reading can be subtracted from its parent's.
std::int64_t monotonicNs();

// A "Name:  N kB" field of /proc/self/status, in KiB; -1 if unknown.
long statusKiB(const char *field);

// Peak resident set of this process so far (VmHWM), in KiB; -1 if unknown.
long peakRssKiB();

// Resident set of this process right now, in KiB; -1 if unknown.
long currentRssKiB();

// Bytes the allocator has handed out and not taken back (small and mapped blocks).
std::size_t heapInUseBytes();

// The three load averages of /proc/loadavg, as printed there.
std::string loadAverage();

} // namespace prbench

// Timing shared by the benchmarks: a millisecond clock, a message
// pump, and the median and 99th percentile of repeated work.
#pragma once
#include <windows.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

namespace bench {

inline double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The middle value (the upper of the two middle ones for an even count); -1 for none.
inline double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The calling thread's processor time so far, in ms (kernel and user).
inline double ThreadProcessorMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(kernel) + value(user)) / 10000.0;
}

struct Figures {
    double median, p99;
};

inline Figures MedianAndP99(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)]};
}

// Times each run of the work; work that answers a time of its own (in ms) is
// taken at its word, for runs whose set-up or clean-up must not count.
template <typename Work> Figures Measure(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        if constexpr (std::is_same_v<decltype(work(i)), double>) {
            times.push_back(work(i));
        } else {
            work(i);
            times.push_back(Now() - start);
        }
    }
    return MedianAndP99(std::move(times));
}

}  // namespace bench

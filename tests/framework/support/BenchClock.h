#pragma once
// Wall-clock timing for the Windows benchmarks: QueryPerformanceCounter in milliseconds, and
// the median of repeated measurements (steadier than the mean on a shared machine).
#include <windows.h>

#include <algorithm>
#include <vector>

namespace vm::bench {

inline double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / frequency;
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace vm::bench

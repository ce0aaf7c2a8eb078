#pragma once
// What the Windows benchmarks share: wall-clock timing (QueryPerformanceCounter in
// milliseconds), the median of repeated measurements (steadier than the mean on a shared
// machine), and the movies of a sample folder.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
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

// Every .swf file below `folder`, sorted; empty when there is none or the folder is missing.
inline std::vector<std::filesystem::path> MoviesUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> movies;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".swf") movies.push_back(entry.path());
    std::sort(movies.begin(), movies.end());
    return movies;
}

}  // namespace vm::bench

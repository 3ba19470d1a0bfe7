#pragma once

#include <chrono>

// Milliseconds between two moments of the steady clock, for the benchmarks' figures.
inline double msBetween(std::chrono::steady_clock::time_point from,
                        std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A figure's word against its target.
inline const char* verdict(bool pass) {
    return pass ? "PASS" : "MISS";
}

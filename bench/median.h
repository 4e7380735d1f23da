#pragma once

// Benchmarks time a piece of work as the median of several rounds after one round that warms the
// file cache and the allocator, so that a slow round on a shared machine moves no figure.

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

inline double medianMs(const std::function<void()>& work, int rounds = 15) {
    work();
    std::vector<double> times;
    for (int k = 0; k < rounds; ++k) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

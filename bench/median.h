#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

// The middle value, or -1 when there is none.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median wall time of runs of work, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

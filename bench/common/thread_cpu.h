#pragma once
// CPU time of the calling thread, in seconds: what the measured work itself
// costs, whatever else the shared machine is running.
#include <ctime>

inline double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

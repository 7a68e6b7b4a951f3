// What the benchmarks share: a clock, the median of repeated runs, and the
// series names of their packs and lists.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>

inline double Seconds()
{
    LARGE_INTEGER li, freq;
    QueryPerformanceCounter(&li);
    QueryPerformanceFrequency(&freq);
    return (double)li.QuadPart / (double)freq.QuadPart;
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// "serie0000001.dat" for 0, and so on.
inline std::string SeriesName(int i)
{
    char sz[32];
    snprintf(sz, sizeof(sz), "serie%07d.dat", i + 1);
    return sz;
}

#pragma once

#include <vector>

/// Prints median, p99 and mean of a set of round trips in microseconds; returns the median.
double report(const char* what, std::vector<double>& us);

/// Measures the system's bare message round trip of the link's sizes, with the server found
/// as the link finds it; prints it with report() and returns its median in microseconds, or a
/// negative number when it could not be measured.
double benchBareRoundTrip(int warmUp, int rounds);

#pragma once

// Runs this benchmark program again as a fresh process, so a figure can be
// taken the way a program that just started sees it: its allocator and
// caches untouched by the benchmark's own set-up.

#include <string>
#include <vector>

namespace kelvane::bench {

struct FreshRun {
    bool ok = false;          // started and exited with status 0
    std::string output;  // what it wrote to standard output
};

// Runs /proc/self/exe with `arguments` and waits for it.
FreshRun runFresh(const std::vector<std::string>& arguments);

// CPU time of the whole process (all its threads), in milliseconds.
double processCpuMs();

// This process's peak resident memory in KiB (VmHWM). Taken by the process
// itself: the kernel's figure for a child that was spawned counts the
// parent's memory from before the program was started.
long peakResidentKiB();

// The main of a benchmark program: the allocator set up as the viewers set
// it up, before anything else, then the benchmarks the arguments ask for.
int runBenchmarks(int argc, char** argv);

}  // namespace kelvane::bench

#pragma once

// Runs a program as a user would, through the shell, for the tests of the
// command-line tools.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace kelvane::test {

struct CommandRun {
    int status = -1;  // the exit status, -1 if it did not exit
    std::string out;  // standard output
};

inline CommandRun runCommand(const std::string& commandLine) {
    CommandRun run;
    FILE* pipe = popen(commandLine.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace kelvane::test

// Times a program as a whole process, started afresh for each round after one warm-up start,
// with its output thrown away: prints the wall-clock median in milliseconds and the highest peak
// resident memory of a round in KiB. It exists because Linux counts into a child's peak memory
// what its parent held when it started it: started from this small program, a child's peak is
// its own, where from the benchmark it would include the benchmark's.
//
// Run: process_timer ROUNDS PROGRAM [ARGUMENTS...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const int rounds = std::max(1, std::atoi(argv[1]));
    std::vector<double> times;
    long peakKiB = 0;
    for (int round = 0; round <= rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            execv(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)
            || WEXITSTATUS(status) != 0)
            return 1;
        if (round == 0)
            continue;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f %ld\n", times[times.size() / 2], peakKiB);
    return 0;
}

// The wall time of a short command, start to exit, as a desktop's key binding waits for
// it: each of the commands given (separated by "--") runs in turn, RUNS rounds, so that
// the machine's load falls on all of them alike. With PAUSE_MS, each command starts that
// long after the one before ended, as a user's presses come: a toggle then finds the
// instance idle, not still painting the overlay the toggle before it showed.
//
//   tavlin_process_time RUNS[/PAUSE_MS] COMMAND [ARG...] [-- COMMAND [ARG...]]...
//
// Prints, per command, the median, the 95th percentile and the extremes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS[/PAUSE_MS] COMMAND [ARG...] [-- COMMAND [ARG...]]...\n", argv[0]);
        return 2;
    }
    char* pause = nullptr;
    const int runs = std::max(1, int(std::strtol(argv[1], &pause, 10)));
    const int pauseMs = *pause == '/' ? std::max(0, std::atoi(pause + 1)) : 0;
    std::vector<std::vector<char*>> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) commands.emplace_back();
        else commands.back().push_back(argv[i]);
    }
    std::erase_if(commands, [](const auto& command) { return command.empty(); });
    for (auto& command : commands) command.push_back(nullptr);
    std::vector<std::vector<double>> ms(commands.size());
    for (int round = 0; round < runs; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            const auto start = std::chrono::steady_clock::now();
            pid_t pid = -1;
            if (posix_spawn(&pid, commands[c][0], nullptr, nullptr, commands[c].data(), environ) != 0) {
                std::fprintf(stderr, "can't run %s\n", commands[c][0]);
                return 1;
            }
            int status = 0;
            waitpid(pid, &status, 0);
            ms[c].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::fprintf(stderr, "%s failed (status %d)\n", commands[c][0], status);
                return 1;
            }
        }
    }
    char apart[32] = "";
    if (pauseMs > 0) std::snprintf(apart, sizeof apart, " %d ms apart", pauseMs);
    for (std::size_t c = 0; c < commands.size(); ++c) {
        auto& figures = ms[c];
        std::sort(figures.begin(), figures.end());
        const auto at = [&](double q) { return figures[std::size_t(q * double(figures.size() - 1) + 0.5)]; };
        std::string name;
        for (char* const* word = commands[c].data(); *word; ++word) {
            if (!name.empty()) name += ' ';
            name += *word;
        }
        std::printf("%s, wall time over %d runs%s: median %.2f ms, p95 %.2f ms, min %.2f ms, max %.2f ms\n", name.c_str(),
                    runs, apart, at(0.5), at(0.95), figures.front(), figures.back());
    }
    return 0;
}

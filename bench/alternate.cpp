// The timer of bench/scan_taglib.sh: runs two or more commands in turn, ROUNDS times each after WARMUP
// unrecorded rounds, and prints the median wall time of each in milliseconds, one line per command in
// the order given. Running them in turn lets a machine whose speed drifts slow all of them alike; the
// commands are started directly (no shell) with their output thrown away, so that the figures hold
// the commands' own time, start-up included, and little of ours. A command may carry a reset after
// "++", run untimed after each of its runs (to put back what the command changed, so that every run
// starts from the same state).
//   alternate ROUNDS WARMUP -- COMMAND [ARG...] [++ RESET [ARG...]] -- COMMAND [ARG...] [-- ...]
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Command = std::vector<char*>; // null-terminated argument vector

// One run's wall time in microseconds; -1 when the command could not start or did not exit with 0.
long long runOnce(const Command& command, int devNull)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDERR_FILENO);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    int err = posix_spawnp(&pid, command[0], &actions, nullptr, command.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        std::fprintf(stderr, "alternate: cannot start %s: %s\n", command[0], std::strerror(err));
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "alternate: %s failed (status %d)\n", command[0], status);
        return -1;
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(end - start).count();
}

int usage()
{
    std::fprintf(stderr, "usage: alternate ROUNDS WARMUP -- COMMAND [ARG...] [++ RESET [ARG...]] -- COMMAND [ARG...] "
                         "[-- ...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6 || std::strcmp(argv[3], "--") != 0) return usage();
    int rounds = std::atoi(argv[1]);
    int warmup = std::atoi(argv[2]);
    if (rounds < 1 || rounds > 10000 || warmup < 0 || warmup > 100) return usage();

    std::vector<Command> commands, resets;
    bool inReset = false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commands.emplace_back();
            resets.emplace_back();
            inReset = false;
            continue;
        }
        if (std::strcmp(argv[i], "++") == 0 && !inReset) {
            inReset = true;
            continue;
        }
        (inReset ? resets : commands).back().push_back(argv[i]);
    }
    for (Command& c : commands) {
        if (c.empty()) return usage();
        c.push_back(nullptr);
    }
    for (Command& r : resets)
        if (!r.empty()) r.push_back(nullptr);
    if (commands.size() < 2) return usage();

    int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        std::perror("alternate: /dev/null");
        return 1;
    }
    std::vector<std::vector<long long>> times(commands.size());
    for (int round = 0; round < warmup + rounds; ++round) {
        for (size_t c = 0; c < commands.size(); ++c) {
            long long t = runOnce(commands[c], devNull);
            if (t < 0) return 1;
            if (!resets[c].empty() && runOnce(resets[c], devNull) < 0) return 1;
            if (round >= warmup) times[c].push_back(t);
        }
    }
    for (std::vector<long long>& t : times) {
        std::sort(t.begin(), t.end());
        size_t n = t.size();
        double median = n % 2 ? double(t[n / 2]) : (double(t[n / 2 - 1]) + double(t[n / 2])) / 2.0;
        std::printf("%.2f\n", median / 1000.0);
    }
    return 0;
}

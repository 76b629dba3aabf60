// Start-up of Kestrova against three references: a minimal Qt Widgets program, the same first
// picture as Kestrova's drawn by plain Qt with no other controls, and Kestrova building every page
// before its first paint. Measures the wall time from starting
// the process to its first window painted, and the peak resident memory of the process, all under the
// offscreen platform and in the same run, in turn, after one unmeasured warm-up each. Prints the
// medians and the ratios.
//
// Usage: bench_startup [rounds]          (15 rounds unless given)

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double milliseconds = 0;
    double peakMiB = 0;
};

// Starts `path` with its standard output on a pipe and waits for the "shown" line it writes when its
// first window is painted; the process then ends and its peak resident size is read from wait4().
Sample runOnce(const std::string& path) {
    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    // Qt's diagnostics (a missing runtime directory and the like) would only clutter the table.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + path);
    }

    std::string said;
    char buffer[64];
    ssize_t n = 0;
    while (said.find('\n') == std::string::npos && (n = read(out[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<std::size_t>(n));
    const auto shown = std::chrono::steady_clock::now();
    close(out[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (said.rfind("shown", 0) != 0)
        throw std::runtime_error(path + " ended without showing a window (status " + std::to_string(status) +
                                 ")");
    return {std::chrono::duration<double, std::milli>(shown - start).count(),
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

struct Summary {
    double milliseconds;
    double peakMiB;
};

Summary summarise(const std::vector<Sample>& samples) {
    std::vector<double> times;
    std::vector<double> sizes;
    for (const Sample& s : samples) {
        times.push_back(s.milliseconds);
        sizes.push_back(s.peakMiB);
    }
    return {median(times), median(sizes)};
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    struct Program {
        const char* name;
        std::string path;
        std::vector<Sample> samples;
    };
    Program programs[] = {{"minimal Qt Widgets window", KESTROVA_STARTUP_MINIMAL, {}},
                          {"first picture in plain Qt", KESTROVA_STARTUP_FIRST_PICTURE, {}},
                          {"kestrova", KESTROVA_STARTUP_PROGRAM, {}},
                          {"kestrova, every page built first", KESTROVA_STARTUP_ALL_PAGES, {}}};

    try {
        for (Program& p : programs)
            runOnce(p.path);
        for (int i = 0; i < rounds; ++i)
            for (Program& p : programs)
                p.samples.push_back(runOnce(p.path));
        std::printf("Start-up to the first window painted, offscreen, median of %d runs each\n", rounds);
        Summary s[std::size(programs)];
        for (std::size_t i = 0; i < std::size(programs); ++i) {
            s[i] = summarise(programs[i].samples);
            std::printf("  %-36s %9.1f ms   peak RSS %7.1f MiB\n", programs[i].name, s[i].milliseconds,
                        s[i].peakMiB);
        }
        const auto ratio = [&](const char* name, const Summary& a, const Summary& b) {
            std::printf("  %-36s %9.2fx      peak RSS %7.2fx\n", name, a.milliseconds / b.milliseconds,
                        a.peakMiB / b.peakMiB);
        };
        ratio("ratio kestrova / minimal", s[2], s[0]);
        ratio("ratio first picture / minimal", s[1], s[0]);
        ratio("ratio kestrova / first picture", s[2], s[1]);
        ratio("ratio kestrova / every page first", s[2], s[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Start-up of the program against a bare Qt Widgets window of the same size, side by side:
// each probe is started in turn, many times, and timed from just before fork() to the first
// frame it reports; its peak memory comes from wait4()'s rusage and from the probe's own
// /proc figures at the first frame. A third probe, the bare window with one Japanese label,
// shows what any window with text pays on top of the bare one.
//
//   startup_bench [--runs N] [--warmup N] [--verbose]
//
// The probes inherit the environment, so QT_QPA_PLATFORM, DISPLAY and QT_SCALE_FACTOR
// choose the platform under test.
#include "ProcessStats.h"
#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using prbench::median;
using prbench::percentile;

struct Run {
    bool ok = false;
    std::map<std::string, double> ms; // phase -> ms since just before fork()
    double exitMs = 0;                // child reaped
    double maxRssMiB = 0;             // rusage ru_maxrss
    double hwmMiB = 0;                // VmHWM at the first frame
    double anonMiB = 0;               // RssAnon at the first frame
    double fileMiB = 0;               // RssFile at the first frame
};

struct Probe {
    std::string name;
    std::string path;
    std::vector<Run> runs;
};

std::string siblingPath(const char *name)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return name;
    self[n] = 0;
    std::string dir(self);
    return dir.substr(0, dir.rfind('/') + 1) + name;
}

Run runOnce(const std::string &path)
{
    Run run;
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        return run;
    }
    const std::int64_t t0 = prbench::monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return run;
    }
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(path.c_str(), path.c_str(), static_cast<char *>(nullptr));
        std::perror(path.c_str());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[1024];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) != 0;) {
        if (n < 0)
            break;
        out.append(buf, std::size_t(n));
    }
    close(fds[0]);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    run.exitMs = double(prbench::monotonicNs() - t0) / 1e6;
    run.maxRssMiB = double(ru.ru_maxrss) / 1024.0; // KiB on Linux

    const std::size_t at = out.find("probe ");
    if (at == std::string::npos || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: no first frame reported (status %d)\n", path.c_str(), status);
        return run;
    }
    std::istringstream fields(out.substr(at + 6));
    for (std::string field; fields >> field;) {
        const std::size_t eq = field.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = field.substr(0, eq);
        const long long value = std::atoll(field.c_str() + eq + 1);
        if (key == "hwm_kib")
            run.hwmMiB = double(value) / 1024.0;
        else if (key == "anon_kib")
            run.anonMiB = double(value) / 1024.0;
        else if (key == "file_kib")
            run.fileMiB = double(value) / 1024.0;
        else
            run.ms[key] = double(value - t0) / 1e6;
    }
    run.ok = run.ms.count("frame") != 0;
    return run;
}

std::vector<double> column(const Probe &p, double Run::*field)
{
    std::vector<double> v;
    for (const Run &r : p.runs)
        if (r.ok)
            v.push_back(r.*field);
    return v;
}

std::vector<double> phase(const Probe &p, const char *name)
{
    std::vector<double> v;
    for (const Run &r : p.runs)
        if (r.ok && r.ms.count(name))
            v.push_back(r.ms.at(name));
    return v;
}

// Median duration of the step that ends at phase `to`, from phase `from` of the same run.
double stepMedian(const Probe &p, const char *from, const char *to)
{
    std::vector<double> v;
    for (const Run &r : p.runs)
        if (r.ok && r.ms.count(from) && r.ms.count(to))
            v.push_back(r.ms.at(to) - r.ms.at(from));
    return median(v);
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 30, warmup = 3;
    bool verbose = false;
    Probe app{"parallel-ratio", siblingPath("startup_probe"), {}};
    Probe bare{"bare QWidget", siblingPath("bare_probe"), {}};
    Probe label{"bare + label", siblingPath("label_probe"), {}};
    Probe *const all[3] = {&app, &bare, &label};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--warmup" && i + 1 < argc)
            warmup = std::max(0, std::atoi(argv[++i]));
        else if (a == "--verbose")
            verbose = true;
        else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--warmup N] [--verbose]\n",
                         argv[0]);
            return 2;
        }
    }

    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const char *scaleFactor = std::getenv("QT_SCALE_FACTOR");
    std::printf("start-up: %d runs of each probe, in rotating order, after %d warm-up runs\n",
                runs, warmup);
    std::printf("platform %s, QT_SCALE_FACTOR %s, load average before %s\n",
                platform ? platform : "(default)", scaleFactor ? scaleFactor : "(unset)",
                prbench::loadAverage().c_str());

    // The first runs fill the page cache and fontconfig's caches; they are not counted.
    for (int i = 0; i < warmup; ++i)
        for (Probe *p : all)
            runOnce(p->path);
    for (int i = 0; i < runs; ++i) {
        // Rotate the order, so no probe always follows the same one's teardown.
        for (int k = 0; k < 3; ++k) {
            Probe *p = all[(i + k) % 3];
            p->runs.push_back(runOnce(p->path));
            const Run &r = p->runs.back();
            if (verbose && r.ok)
                std::printf("  %-15s frame %7.2f ms  exit %7.2f ms  maxrss %6.1f MiB\n",
                            p->name.c_str(), r.ms.at("frame"), r.exitMs, r.maxRssMiB);
        }
    }
    std::printf("load average after %s\n\n", prbench::loadAverage().c_str());

    std::printf("%-15s %5s | %9s %9s %9s | %9s | %6s | %6s %6s %6s\n", "probe", "ok",
                "frame med", "min", "p90", "exit med", "maxrss", "hwm", "anon", "file");
    for (const Probe *p : all) {
        const std::vector<double> frame = phase(*p, "frame");
        std::printf("%-15s %2zu/%-2zu | %6.2f ms %6.2f ms %6.2f ms | %6.2f ms | %6.1f | %6.1f "
                    "%6.1f %6.1f\n",
                    p->name.c_str(), frame.size(), p->runs.size(), median(frame),
                    percentile(frame, 0), percentile(frame, 0.9),
                    median(column(*p, &Run::exitMs)), median(column(*p, &Run::maxRssMiB)),
                    median(column(*p, &Run::hwmMiB)), median(column(*p, &Run::anonMiB)),
                    median(column(*p, &Run::fileMiB)));
    }
    std::printf("memory in MiB, medians: maxrss from wait4(); at the first frame the peak (hwm), "
                "anonymous and file-backed resident memory\n");

    std::printf("\nmedian time of each step, ms:\n");
    std::printf("%-15s %12s %13s %12s %10s %11s %9s\n", "probe", "fork->main", "QApplication",
                "window ctor", "show()", "1st paint", "flushed");
    for (const Probe *p : all) {
        std::printf("%-15s %12.2f %13.2f %12.2f %10.2f %11.2f %9.2f\n", p->name.c_str(),
                    median(phase(*p, "main")), stepMedian(*p, "main", "app"),
                    stepMedian(*p, "app", "window"), stepMedian(*p, "window", "shown"),
                    stepMedian(*p, "shown", "paint"), stepMedian(*p, "paint", "frame"));
    }

    const double appFrame = median(phase(app, "frame"));
    const double bareFrame = median(phase(bare, "frame"));
    const double ratio = bareFrame > 0 ? appFrame / bareFrame : 0;
    const double extraMiB =
        median(column(app, &Run::maxRssMiB)) - median(column(bare, &Run::maxRssMiB));
    std::printf("\ntime to first frame: %.3f x the bare window (goal <= 1.2): %s\n", ratio,
                ratio <= 1.2 ? "met" : "MISSED");
    std::printf("peak memory: %+.1f MiB over the bare window (goal <= 10): %s\n", extraMiB,
                extraMiB <= 10 ? "met" : "MISSED");
    const double labelFrame = median(phase(label, "frame"));
    std::printf("for reference, the bare window with one label: %.3f x the bare window's time, "
                "%+.1f MiB\n",
                bareFrame > 0 ? labelFrame / bareFrame : 0,
                median(column(label, &Run::maxRssMiB)) - median(column(bare, &Run::maxRssMiB)));

    // A probe that never showed a frame makes every figure above meaningless.
    for (const Probe *p : all)
        for (const Run &r : p->runs)
            if (!r.ok)
                return 1;
    return 0;
}

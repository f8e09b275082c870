// Start-up time of Setup.exe against a minimal Win32 program that opens one
// window (startup_window.exe), under the same Wine and display: from just
// before CreateProcessA to the moment the program's window is on the screen
// and painted. For Setup.exe that is the wizard window, shown in front of
// its background window, with every visible control of its first page.
//
// The programs run one at a time, in turn (which one starts a round goes
// round too), after one start of each that is not counted; each is ended
// once it has painted. The figures are the times of each program and the
// ratio of the two within each round. Other builds of Setup.exe may be timed
// in the same rounds, each against the same minimal runs: on a busy machine
// that is the fair way to compare two builds.
//
//   startup_bench setup-exe baseline-exe [rounds [other-setup-exe ...]]   (rounds: 10)
//
// Setup.exe needs its project file beside it (scripts/bench-startup.sh
// makes that package).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Ids.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;

struct Target {
    const char* label;
    std::string exe;
    const char* windowClass;
    const char* widgetName;  // the form's name for our forms, nullptr for the yardstick
};

std::string WidgetName(HWND hwnd) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, plat::win32ids::kWidgetNameProp)));
    char name[128] = "";
    if (atom) GlobalGetAtomNameA(atom, name, sizeof name);
    return name;
}

struct FindState {
    DWORD pid;
    const Target* target;
    HWND found;
};

BOOL CALLBACK FindTopWindow(HWND hwnd, LPARAM lp) {
    FindState* s = reinterpret_cast<FindState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != s->target->windowClass) return TRUE;
    if (s->target->widgetName && WidgetName(hwnd) != s->target->widgetName) return TRUE;
    s->found = hwnd;
    return FALSE;
}

bool NeedsPaint(HWND hwnd) { return IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE); }

BOOL CALLBACK FindUnpaintedChild(HWND hwnd, LPARAM lp) {
    if (!NeedsPaint(hwnd)) return TRUE;
    *reinterpret_cast<bool*>(lp) = true;
    return FALSE;
}

// "Painted" is read from outside, as the window manager sees it: the window
// and each of its visible descendants are visible and have no update region
// left (GetUpdateRect). Showing a window gives it its update region in the
// same step, so a shown window without one has been painted.
bool Painted(HWND top) {
    if (!IsWindowVisible(top) || GetUpdateRect(top, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(top, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

double Millis(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string FolderOf(const std::string& path) {
    // Paths here are ASCII build paths (Z:\...), so the last backslash is safe.
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

struct Sample {
    double ms = 0;
    bool idleBeforePaint = false;  // idle came first; the time is when it was found painted
};

// One start of the program up to its first paint; exits the benchmark on failure.
//
// The wait is WaitForInputIdle: it returns when the program first waits for
// input with no message queued and no window left to paint, and it polls
// nothing, so the measurement does not slow the program down. That moment
// is taken as the time when the window is found painted then; a program
// that went idle before its window was painted is polled (every
// millisecond) until it is, and that round is counted.
Sample TimeStart(const Target& t) {
    std::string command = "\"" + t.exe + "\"";
    std::string folder = FolderOf(t.exe);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(t.exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi)) {
        std::fprintf(stderr, "startup_bench: cannot start %s (error %lu)\n", t.exe.c_str(), GetLastError());
        std::exit(1);
    }
    Sample sample;
    WaitForInputIdle(pi.hProcess, kStartTimeoutMs);
    QueryPerformanceCounter(&now);
    sample.ms = Millis(start, now);
    FindState find = {pi.dwProcessId, &t, nullptr};
    for (;;) {
        if (!find.found) EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&find));
        if (find.found && Painted(find.found)) break;
        sample.idleBeforePaint = true;
        QueryPerformanceCounter(&now);
        sample.ms = Millis(start, now);
        DWORD exitCode = 0;
        if (GetExitCodeProcess(pi.hProcess, &exitCode) && exitCode != STILL_ACTIVE) {
            std::fprintf(stderr, "startup_bench: %s ended (exit code %lu) before its window was painted\n",
                         t.exe.c_str(), exitCode);
            std::exit(1);
        }
        if (sample.ms > kStartTimeoutMs) {
            std::fprintf(stderr, "startup_bench: no painted %s window within %lu ms\n", t.label, kStartTimeoutMs);
            TerminateProcess(pi.hProcess, 1);
            std::exit(1);
        }
        Sleep(1);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(100);  // the ended process's teardown stays out of the next start
    return sample;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void PrintFigures(const char* label, const std::vector<double>& v, const char* unit) {
    std::printf("  %-34s median %8.3f%s   min %8.3f%s   max %8.3f%s\n", label, Median(v), unit,
                *std::min_element(v.begin(), v.end()), unit, *std::max_element(v.begin(), v.end()), unit);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench setup-exe baseline-exe [rounds [other-setup-exe ...]]\n");
        return 2;
    }
    int rounds = argc > 3 ? std::atoi(argv[3]) : 10;
    if (rounds < 1) rounds = 1;
    // The minimal window first, then Setup.exe, then any other builds of it
    // timed beside it (an older build, say) under the same conditions.
    std::vector<Target> targets = {{"minimal window", argv[2], "OrvaneStartupWindow", nullptr},
                                   {"Setup.exe wizard", argv[1], plat::win32ids::kFormClass, "SetupMainForm"}};
    for (int i = 4; i < argc; ++i) {
        targets.push_back({"other Setup.exe", argv[i], plat::win32ids::kFormClass, "SetupMainForm"});
    }
    const size_t n = targets.size();

    std::printf("start-up to the first paint: the minimal window and Setup.exe%s, in turn\n",
                n > 2 ? " with the other builds" : "");
    for (size_t k = 2; k < n; ++k) std::printf("  other build %zu: %s\n", k - 1, targets[k].exe.c_str());
    for (const Target& t : targets) TimeStart(t);  // not counted: the first start fills the caches
    std::vector<std::vector<double>> ms(n), ratios(n);
    std::vector<int> unpainted(n, 0);  // rounds idle before painted
    for (int i = 0; i < rounds; ++i) {
        // Which program starts a round goes round, so that none always
        // follows the same one.
        std::vector<Sample> got(n);
        for (size_t j = 0; j < n; ++j) {
            size_t k = (static_cast<size_t>(i) + j) % n;
            got[k] = TimeStart(targets[k]);
        }
        std::printf("  round %2d: minimal %7.1f ms, Setup.exe %7.1f ms, ratio %.2fx", i + 1, got[0].ms, got[1].ms,
                    got[1].ms / got[0].ms);
        for (size_t k = 2; k < n; ++k) {
            std::printf("; other %zu %7.1f ms, %.2fx", k - 1, got[k].ms, got[k].ms / got[0].ms);
        }
        std::printf("\n");
        for (size_t k = 0; k < n; ++k) {
            ms[k].push_back(got[k].ms);
            ratios[k].push_back(got[k].ms / got[0].ms);
            unpainted[k] += got[k].idleBeforePaint;
        }
    }
    std::printf("start-up to the first paint, %d rounds:\n", rounds);
    PrintFigures("minimal Win32 window", ms[0], " ms");
    PrintFigures("Setup.exe, wizard painted", ms[1], " ms");
    PrintFigures("ratio Setup.exe / minimal (per round)", ratios[1], "x");
    std::printf("  ratio of the medians: %.3fx (target <= 1.5x)\n", Median(ms[1]) / Median(ms[0]));
    for (size_t k = 2; k < n; ++k) {
        std::printf("  other build %zu:\n", k - 1);
        PrintFigures("  wizard painted", ms[k], " ms");
        PrintFigures("  ratio to the minimal (per round)", ratios[k], "x");
        std::printf("    ratio of the medians: %.3fx\n", Median(ms[k]) / Median(ms[0]));
    }
    std::printf("  idle before painted (then polled): minimal %d/%d, Setup.exe %d/%d rounds\n", unpainted[0],
                rounds, unpainted[1], rounds);
    return 0;
}

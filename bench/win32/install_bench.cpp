// Installation and uninstallation runs against bare copy and delete loops
// over the same files, on the real system (run it under Wine). The run works
// in a shown wizard window, so its progress label, bar and repaint per item
// are part of the figures; the uninstallation is timed through its four steps
// (the confirmation and the result box are left out, they wait for a person).
//
// The floor of a run is its bare loop plus its progress alone: the run's own
// ShowProgress calls, the same paths in the same order, replayed on the same
// page without the run's work. Each round prints run / floor; then every item
// of the runs is split into its progress and the rest, beside the bare call,
// the progress alone and the run's extra calls each timed alone.
//
//   install_bench [files [bytes-per-file [work-folder [rounds]]]]
//                                       (2000, 100000, C:\orvane-bench, 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"
#include "ui/SetupMain_unit.h"

namespace {

constexpr int kFilesPerFolder = 100;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}
double Micros(Clock::time_point from, Clock::time_point to) { return 1e6 * Seconds(from, to); }

std::string FolderOf(int i) { return "dir" + std::to_string(i / kFilesPerFolder); }
std::string FileOf(int i) { return FolderOf(i) + "\\file" + std::to_string(i) + ".bin"; }

// The wizard with its progress timed: every ShowProgress of a run is stamped
// and its path kept, so that the progress alone can be replayed and each item
// of the run split into its progress and the rest.
class TimedWizard : public TSetupMainForm {
public:
    struct Stamp {
        Clock::time_point start, end;
    };
    void ShowProgress(const std::string& path) override {
        Clock::time_point start = Clock::now();
        TSetupMainForm::ShowProgress(path);
        stamps.push_back({start, Clock::now()});
        paths.push_back(path);
    }
    void Forget() {
        stamps.clear();
        paths.clear();
    }
    std::vector<Stamp> stamps;
    std::vector<std::string> paths;
};

// Per-item times in microseconds, gathered over all rounds. A run's total
// is its mean times its items; the median is the typical item, which the
// machine's other work disturbs far less.
struct Samples {
    std::vector<double> v;
    void Add(double us) { v.push_back(us); }
    double Mean() const {
        double sum = 0;
        for (double x : v) sum += x;
        return v.empty() ? 0 : sum / static_cast<double>(v.size());
    }
    double Median() const {
        if (v.empty()) return 0;
        std::vector<double> s = v;
        auto mid = s.begin() + static_cast<std::ptrdiff_t>(s.size() / 2);
        std::nth_element(s.begin(), mid, s.end());
        if (s.size() % 2) return *mid;
        return (*std::max_element(s.begin(), mid) + *mid) / 2;
    }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool MakeSources(const std::string& root, int files, size_t bytes) {
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 7));
    for (int i = 0; i < files; ++i) {
        if (i % kFilesPerFolder == 0 && !plat::ForceDirectories(root + "\\" + FolderOf(i))) return false;
        if (bytes) data[0] = static_cast<char>(i);
        if (!plat::WriteWholeFile(root + "\\" + FileOf(i), data)) return false;
    }
    return true;
}

// The bare loops. With a wizard, each file's progress (the run's own call
// for that file, replayed) goes before the call, as in the run, and the call
// alone is timed: what a copy or a delete costs next to the progress.
double BareCopy(const std::string& src, const std::string& dst, int files, Samples& perItem,
                TimedWizard* progressOf = nullptr, size_t firstPath = 0) {
    if (progressOf) progressOf->FileCopyBar.SetPosition(static_cast<int>(firstPath));
    Clock::time_point start = Clock::now();
    plat::ForceDirectories(dst);
    for (int i = 0; i < files; ++i) {
        if (i % kFilesPerFolder == 0) plat::MakeDirectory(dst + "\\" + FolderOf(i));
        if (progressOf) {
            progressOf->TSetupMainForm::ShowProgress(progressOf->paths[firstPath + static_cast<size_t>(i)]);
        }
        Clock::time_point item = Clock::now();
        if (!plat::CopyFileTo(src + "\\" + FileOf(i), dst + "\\" + FileOf(i), false)) {
            std::fprintf(stderr, "bare copy failed at %d\n", i);
            std::exit(1);
        }
        perItem.Add(Micros(item, Clock::now()));
    }
    return Seconds(start, Clock::now());
}

double BareDelete(const std::string& dst, int files, Samples& perItem, TimedWizard* progressOf = nullptr) {
    if (progressOf) progressOf->FileCopyBar.SetPosition(0);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < files; ++i) {
        if (progressOf) progressOf->TSetupMainForm::ShowProgress(progressOf->paths[static_cast<size_t>(i)]);
        Clock::time_point item = Clock::now();
        if (!plat::DeleteFileAt(dst + "\\" + FileOf(i))) {
            std::fprintf(stderr, "bare delete failed at %d\n", i);
            std::exit(1);
        }
        perItem.Add(Micros(item, Clock::now()));
    }
    for (int i = files - 1; i >= 0; i -= kFilesPerFolder) plat::RemoveFolder(dst + "\\" + FolderOf(i));
    plat::RemoveFolder(dst);
    return Seconds(start, Clock::now());
}

void FillProject(TProjectProperty& project, const std::string& src, int files) {
    project.UnInstallKey = "OrvaneBench";
    project.UnInstallName = "Orvane bench";
    for (int i = 0; i < files; i += kFilesPerFolder) {
        project.Folders.Add().FolderPath = "[Install Folder]\\" + FolderOf(i);
    }
    for (int i = 0; i < files; ++i) {
        TCopyFile& f = project.Files.Add();
        f.SourceFile = src + "\\" + FileOf(i);
        f.DestFile = "[Install Folder]\\" + FileOf(i);
    }
}

// A run's file items from its stamps: item k runs from its progress to the
// next item's progress, so it holds one progress, one file's work and the
// expansion of the next item's path.
struct RunItems {
    Samples item, progress, rest;
};

void SplitItems(const TimedWizard& form, size_t first, size_t count, RunItems& out) {
    for (size_t k = first; k < first + count && k + 1 < form.stamps.size(); ++k) {
        const TimedWizard::Stamp& s = form.stamps[k];
        out.item.Add(Micros(s.start, form.stamps[k + 1].start));
        out.progress.Add(Micros(s.start, s.end));
        out.rest.Add(Micros(s.end, form.stamps[k + 1].start));
    }
}

// The progress alone: the run's ShowProgress calls replayed, the bar started
// where the run started it. Returns seconds.
double ReplayProgress(TimedWizard& form, Samples& perItem) {
    form.FileCopyBar.SetPosition(0);
    Clock::time_point start = Clock::now();
    Clock::time_point item = start;
    for (const std::string& path : form.paths) {
        form.TSetupMainForm::ShowProgress(path);
        Clock::time_point now = Clock::now();
        perItem.Add(Micros(item, now));
        item = now;
    }
    return Seconds(start, item);
}

// Its parts, each alone over the same paths.
void ProgressParts(TimedWizard& form, Samples& label, Samples& bar, Samples& repaint) {
    form.CopyFileLabel.SetPath(std::string());
    for (const std::string& path : form.paths) {
        Clock::time_point t = Clock::now();
        form.CopyFileLabel.SetPath(path);
        label.Add(Micros(t, Clock::now()));
    }
    form.FileCopyBar.SetPosition(0);
    for (size_t i = 0; i < form.paths.size(); ++i) {
        Clock::time_point t = Clock::now();
        form.FileCopyBar.SetPosition(static_cast<int>(i) + 1);
        bar.Add(Micros(t, Clock::now()));
    }
    for (size_t i = 0; i < form.paths.size(); ++i) {
        Clock::time_point t = Clock::now();
        form.Repaint();
        repaint.Add(Micros(t, Clock::now()));
    }
}

void PrintItem(const char* label, const Samples& s) {
    std::printf("    %-52s %8.1f %8.1f\n", label, s.Median(), s.Mean());
}

void PrintDifference(const char* label, const Samples& a, const Samples& b) {
    std::printf("    %-52s %8.1f %8.1f\n", label, a.Median() - b.Median(), a.Mean() - b.Mean());
}

// One figure over the rounds: median, min and max.
void PrintSpread(const char* label, const std::vector<double>& v, const char* format) {
    std::printf("  %-46s median ", label);
    std::printf(format, Median(v));
    std::printf("   min ");
    std::printf(format, *std::min_element(v.begin(), v.end()));
    std::printf("   max ");
    std::printf(format, *std::max_element(v.begin(), v.end()));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t bytes = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 100000;
    const std::string root = argc > 3 ? argv[3] : "C:\\orvane-bench";
    const int rounds = std::max(1, argc > 4 ? std::atoi(argv[4]) : 5);
    const std::string src = root + "\\src";
    if (files < kFilesPerFolder) {
        std::fprintf(stderr, "install_bench: at least %d files\n", kFilesPerFolder);
        return 2;
    }
    plat::SetApplicationTitle("Orvane");
    plat::InitializeCom();

    std::printf("%d files of %zu bytes (%.1f MB) in %s, %d rounds\n", files, bytes, files * bytes / 1e6,
                root.c_str(), rounds);
    if (!MakeSources(src, files, bytes)) {
        std::fprintf(stderr, "cannot write the source files under %s\n", src.c_str());
        return 1;
    }

    // The disk's write-back and the machine's other work make single figures
    // noisy: several rounds, the order of the contenders alternating, the
    // ratios per round with their median, and per-item medians.
    std::vector<double> installToFloor, uninstallToFloor, installToBare, uninstallToBare;
    std::vector<double> installHead, installTail, uninstallTail;
    Samples bareCopy, bareDelete, copyAfterProgress, deleteAfterProgress;
    Samples installProgressAlone, uninstallProgressAlone, label, bar, repaint;
    Samples expansion, source, attributes;
    RunItems installItems, uninstallItems;
    for (int round = 1; round <= rounds; ++round) {
        const bool runFirst = round % 2 == 0;
        const std::string bare = root + "\\bare";
        const std::string inst = root + "\\inst";
        const std::string mixed = root + "\\mixed";
        double copyTime = runFirst ? 0 : BareCopy(src, bare, files, bareCopy);

        TimedWizard form;
        TSetupSession& session = form.Session;
        TSetupEngine& engine = session.Engine();
        session.ExePath = plat::ExecutablePath();
        plat::HoldOwnProgram();  // the program copy comes from the held file, as in Setup.exe
        session.SourceFolder = RunPath::ExecutableFolder(session.ExePath);
        session.Project = std::make_unique<TProjectProperty>();
        session.SystemPath = std::make_unique<TSystemPath>();
        FillProject(*session.Project, src, files);
        form.LocationEdit.SetCaption(inst);
        form.ShowPage(form.PageBook.IndexOfPage(&form.CopyProcessSheet));
        form.Show();
        Clock::time_point start = Clock::now();
        form.RunInstall();
        Clock::time_point end = Clock::now();
        const double installTime = Seconds(start, end);
        if (!session.RunSucceeded) {
            std::fprintf(stderr, "the installation run failed: %s\n", engine.FailureRecord().text.c_str());
            return 1;
        }
        if (runFirst) copyTime = BareCopy(src, bare, files, bareCopy);
        // The run's items: the folders, the files, then the program copy.
        const size_t folders = static_cast<size_t>(session.Project->Folders.Count());
        SplitItems(form, folders, static_cast<size_t>(files), installItems);
        installHead.push_back(1e3 * Seconds(start, form.stamps.front().start));
        installTail.push_back(1e3 * Seconds(form.stamps.back().start, end));

        const double installProgress = ReplayProgress(form, installProgressAlone);
        const size_t installItemCount = form.paths.size();
        ProgressParts(form, label, bar, repaint);
        BareCopy(src, mixed, files, copyAfterProgress, &form, folders);
        // The run's own calls per file beyond the copy, each alone.
        for (int i = 0; i < files; ++i) {
            const TCopyFile& item = session.Project->Files.Items(i);
            Clock::time_point t = Clock::now();
            std::string dest = engine.ExpandPath(item.DestFile);
            Clock::time_point u = Clock::now();
            std::string from = RunPath::ResolveSourcePath(session.SourceFolder, item.SourceFile);
            Clock::time_point v = Clock::now();
            plat::ReadAttributes(dest);
            Clock::time_point w = Clock::now();
            expansion.Add(Micros(t, u));
            source.Add(Micros(u, v));
            attributes.Add(Micros(v, w));
        }
        form.Forget();

        double deleteTime = runFirst ? 0 : BareDelete(bare, files, bareDelete);
        // The installed uninstaller is in uninstall mode as the run left it.
        session.Project->InstallMode = 1;
        form.FileCopyBar.SetPosition(0);
        start = Clock::now();
        engine.SetProgressMax();
        bool removed = engine.RemoveShortcuts() && engine.RemoveFiles() && engine.RemoveFolders() &&
                       engine.UnregisterUninstall();
        end = Clock::now();
        const double uninstallTime = Seconds(start, end);
        if (!removed) {
            std::fprintf(stderr, "the uninstallation steps failed: %s\n", engine.FailureRecord().text.c_str());
            return 1;
        }
        if (runFirst) deleteTime = BareDelete(bare, files, bareDelete);
        // The run's items: the files, then the folders.
        SplitItems(form, 0, static_cast<size_t>(files), uninstallItems);
        uninstallTail.push_back(1e3 * Seconds(form.stamps[static_cast<size_t>(files)].start, end));
        const double uninstallProgress = ReplayProgress(form, uninstallProgressAlone);
        const size_t uninstallItemCount = form.paths.size();
        BareDelete(mixed, files, deleteAfterProgress, &form);

        // What the self-removal batch would do.
        plat::DeleteFileAt(inst + "\\" + RunPath::FileNamePart(session.ExePath));
        plat::DeleteFileAt(ProjectFileName(inst + "\\" + RunPath::FileNamePart(session.ExePath)));
        plat::RemoveFolder(inst);
        session.RunSucceeded = false;  // no self-removal batch at destruction

        const double installFloor = copyTime + installProgress;
        const double uninstallFloor = deleteTime + uninstallProgress;
        installToFloor.push_back(installTime / installFloor);
        uninstallToFloor.push_back(uninstallTime / uninstallFloor);
        installToBare.push_back(installTime / copyTime);
        uninstallToBare.push_back(uninstallTime / deleteTime);
        std::printf("round %d (%s first)\n", round, runFirst ? "run" : "bare loop");
        std::printf("  install:   run %.3f s; bare CopyFileA loop %.3f s + progress alone %.3f s (%zu items) "
                    "= floor %.3f s; run / floor %.3f, run / bare loop %.2f\n",
                    installTime, copyTime, installProgress, installItemCount, installFloor,
                    installTime / installFloor, installTime / copyTime);
        std::printf("  uninstall: run %.3f s; bare DeleteFileA loop %.3f s + progress alone %.3f s (%zu items) "
                    "= floor %.3f s; run / floor %.3f, run / bare loop %.2f\n",
                    uninstallTime, deleteTime, uninstallProgress, uninstallItemCount, uninstallFloor,
                    uninstallTime / uninstallFloor, uninstallTime / deleteTime);
        std::fflush(stdout);
    }

    std::printf("per item over the %d rounds, microseconds                     median     mean\n", rounds);
    std::printf("  install, one file\n");
    PrintItem("in the run", installItems.item);
    PrintItem("  its progress", installItems.progress);
    PrintItem("  the rest: the copy and the run's own calls", installItems.rest);
    PrintItem("bare CopyFileA", bareCopy);
    PrintItem("bare CopyFileA right after the file's progress", copyAfterProgress);
    PrintItem("progress alone", installProgressAlone);
    PrintDifference("beyond the floor: the rest minus bare CopyFileA", installItems.rest, bareCopy);
    PrintDifference("its progress minus the progress alone", installItems.progress, installProgressAlone);
    PrintItem("alone: the folder-keyword expansion", expansion);
    PrintItem("alone: the source path", source);
    PrintItem("alone: the attribute read (the read-only test)", attributes);
    std::printf("  uninstall, one file\n");
    PrintItem("in the run", uninstallItems.item);
    PrintItem("  its progress", uninstallItems.progress);
    PrintItem("  the rest: the delete and the run's own calls", uninstallItems.rest);
    PrintItem("bare DeleteFileA", bareDelete);
    PrintItem("bare DeleteFileA right after the file's progress", deleteAfterProgress);
    PrintItem("progress alone", uninstallProgressAlone);
    PrintDifference("beyond the floor: the rest minus bare DeleteFileA", uninstallItems.rest, bareDelete);
    PrintDifference("its progress minus the progress alone", uninstallItems.progress, uninstallProgressAlone);
    std::printf("  the progress's parts, each alone\n");
    PrintItem("label (CopyFileLabel.SetPath)", label);
    PrintItem("bar (FileCopyBar.SetPosition)", bar);
    PrintItem("repaint (UpdateWindow)", repaint);
    std::printf("per run, outside the file items, milliseconds:\n");
    PrintSpread("install: before the first folder", installHead, "%.2f");
    PrintSpread("install: the program copy and what follows it", installTail, "%.2f");
    PrintSpread("uninstall: the folders and the registration", uninstallTail, "%.2f");
    std::printf("whole runs, %d rounds:\n", rounds);
    PrintSpread("install run / (bare loop + progress alone)", installToFloor, "%.3f");
    PrintSpread("uninstall run / (bare loop + progress alone)", uninstallToFloor, "%.3f");
    PrintSpread("install run / bare CopyFileA loop", installToBare, "%.2f");
    PrintSpread("uninstall run / bare DeleteFileA loop", uninstallToBare, "%.2f");

    for (int i = 0; i < files; ++i) plat::DeleteFileAt(src + "\\" + FileOf(i));
    for (int i = files - 1; i >= 0; i -= kFilesPerFolder) plat::RemoveFolder(src + "\\" + FolderOf(i));
    plat::RemoveFolder(src);
    plat::RemoveFolder(root);
    plat::UninitializeCom();
    return 0;
}

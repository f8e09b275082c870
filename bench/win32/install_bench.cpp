// Installation and uninstallation runs against bare copy and delete loops
// over the same files, on the real system (run it under Wine). The run works
// in a shown wizard window, so its progress label, bar and repaint per item
// are part of the figures; the uninstallation is timed through its four steps
// (the confirmation and the result box are left out, they wait for a person).
//
//   install_bench [files [bytes-per-file [work-folder]]]   (2000, 100000, C:\orvane-bench)
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

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string FolderOf(int i) { return "dir" + std::to_string(i / kFilesPerFolder); }
std::string FileOf(int i) { return FolderOf(i) + "\\file" + std::to_string(i) + ".bin"; }

bool MakeSources(const std::string& root, int files, size_t bytes) {
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 7));
    for (int i = 0; i < files; ++i) {
        if (i % kFilesPerFolder == 0 && !plat::ForceDirectories(root + "\\" + FolderOf(i))) return false;
        data[0] = static_cast<char>(i);
        if (!plat::WriteWholeFile(root + "\\" + FileOf(i), data)) return false;
    }
    return true;
}

double BareCopy(const std::string& src, const std::string& dst, int files) {
    Clock::time_point start = Clock::now();
    plat::ForceDirectories(dst);
    for (int i = 0; i < files; ++i) {
        if (i % kFilesPerFolder == 0) plat::MakeDirectory(dst + "\\" + FolderOf(i));
        if (!plat::CopyFileTo(src + "\\" + FileOf(i), dst + "\\" + FileOf(i), false)) {
            std::fprintf(stderr, "bare copy failed at %d\n", i);
            std::exit(1);
        }
    }
    return Seconds(start);
}

double BareDelete(const std::string& dst, int files) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < files; ++i) {
        if (!plat::DeleteFileAt(dst + "\\" + FileOf(i))) {
            std::fprintf(stderr, "bare delete failed at %d\n", i);
            std::exit(1);
        }
    }
    for (int i = files - 1; i >= 0; i -= kFilesPerFolder) plat::RemoveFolder(dst + "\\" + FolderOf(i));
    plat::RemoveFolder(dst);
    return Seconds(start);
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

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string RunPathFileName(const std::string& path) { return RunPath::FileNamePart(path); }

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const size_t bytes = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 100000;
    const std::string root = argc > 3 ? argv[3] : "C:\\orvane-bench";
    const std::string src = root + "\\src";
    plat::SetApplicationTitle("Orvane");
    plat::InitializeCom();

    std::printf("%d files of %zu bytes (%.1f MB)\n", files, bytes, files * bytes / 1e6);
    if (!MakeSources(src, files, bytes)) {
        std::fprintf(stderr, "cannot write the source files under %s\n", src.c_str());
        return 1;
    }

    // The disk's write-back makes single figures noisy: several rounds, the
    // order of the two contenders alternating, and the median ratio.
    constexpr int kRounds = 4;
    std::vector<double> installRatios, uninstallRatios, installFloors, uninstallFloors;
    for (int round = 1; round <= kRounds; ++round) {
        const bool engineFirst = round % 2 == 0;
        const std::string bare = root + "\\bare";
        const std::string inst = root + "\\inst";
        double copyTime = engineFirst ? 0 : BareCopy(src, bare, files);

        TSetupMainForm form;
        form.ExePath = plat::ExecutablePath();
        form.Project = std::make_unique<TProjectProperty>();
        form.SystemPath = std::make_unique<TSystemPath>();
        FillProject(*form.Project, src, files);
        form.LocationEdit.SetCaption(inst);
        form.ShowPage(form.PageBook.IndexOfPage(&form.CopyProcessSheet));
        form.Show();
        Clock::time_point start = Clock::now();
        form.RunInstall();
        double installTime = Seconds(start);
        if (!form.RunSucceeded) {
            std::fprintf(stderr, "the installation run failed\n");
            return 1;
        }
        if (engineFirst) copyTime = BareCopy(src, bare, files);

        // Where the difference goes: the per-item progress (label, bar,
        // repaint) and the read-only clearing, each alone over the same items.
        start = Clock::now();
        form.FileCopyBar.SetPosition(0);
        for (int i = 0; i < files; ++i) form.ShowProgress(inst + "\\" + FileOf(i));
        double progressTime = Seconds(start);
        start = Clock::now();
        for (int i = 0; i < files; ++i) form.CopyFileLabel.SetPath(bare + "\\" + FileOf(i));
        double labelTime = Seconds(start);
        start = Clock::now();
        form.FileCopyBar.SetPosition(0);
        for (int i = 0; i < files; ++i) form.FileCopyBar.SetPosition(i + 1);
        double barTime = Seconds(start);
        start = Clock::now();
        for (int i = 0; i < files; ++i) form.Repaint();
        double repaintTime = Seconds(start);
        start = Clock::now();
        for (int i = 0; i < files; ++i) form.ClearReadOnly(bare + "\\" + FileOf(i));
        double attributeTime = Seconds(start);

        double deleteTime = engineFirst ? 0 : BareDelete(bare, files);
        // The installed uninstaller is in uninstall mode as the run left it.
        form.Project->InstallMode = 1;
        form.FileCopyBar.SetPosition(0);
        start = Clock::now();
        form.SetProgressMax();
        bool removed = form.RemoveShortcuts() && form.RemoveFiles() && form.RemoveFolders() &&
                       form.UnregisterUninstall();
        double uninstallTime = Seconds(start);
        if (!removed) {
            std::fprintf(stderr, "the uninstallation steps failed\n");
            return 1;
        }
        if (engineFirst) deleteTime = BareDelete(bare, files);
        // What the self-removal batch would do.
        plat::DeleteFileAt(inst + "\\" + RunPathFileName(form.ExePath));
        plat::DeleteFileAt(ProjectFileName(inst + "\\" + RunPathFileName(form.ExePath)));
        plat::RemoveFolder(inst);
        form.RunSucceeded = false;  // no self-removal batch at destruction

        // The per-item progress alone, added to the bare loops: the least a run
        // that shows every item can take.
        installFloors.push_back((copyTime + progressTime) / copyTime);
        uninstallFloors.push_back((deleteTime + progressTime) / deleteTime);
        installRatios.push_back(installTime / copyTime);
        uninstallRatios.push_back(uninstallTime / deleteTime);
        std::printf("round %d (%s first): install run %.3f s, bare CopyFileA loop %.3f s, ratio %.2f\n",
                    round, engineFirst ? "run" : "loop", installTime, copyTime, installTime / copyTime);
        std::printf("round %d:   alone over the same items: progress %.3f s (label %.3f, bar %.3f, "
                    "repaint %.3f), read-only clearing %.3f s\n",
                    round, progressTime, labelTime, barTime, repaintTime, attributeTime);
        std::printf("round %d: uninstall steps %.3f s, bare DeleteFileA loop %.3f s, ratio %.2f\n", round,
                    uninstallTime, deleteTime, uninstallTime / deleteTime);
        std::fflush(stdout);
    }
    std::printf("median ratio: install %.2f, uninstall %.2f (target 1.30)\n", Median(installRatios),
                Median(uninstallRatios));
    std::printf("median ratio of a bare loop plus the per-item progress alone: install %.2f, "
                "uninstall %.2f\n",
                Median(installFloors), Median(uninstallFloors));

    for (int i = 0; i < files; ++i) plat::DeleteFileAt(src + "\\" + FileOf(i));
    for (int i = files - 1; i >= 0; i -= kFilesPerFolder) plat::RemoveFolder(src + "\\" + FolderOf(i));
    plat::RemoveFolder(src);
    plat::RemoveFolder(root);
    plat::UninitializeCom();
    return 0;
}

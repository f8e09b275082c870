// Load and Save of large projects on the sim file system, in milliseconds.
// Targets: 65,536 file records load in under 200 ms and save in under
// 300 ms; eight times the records cost at most ten times the time.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/SimFileSystem.h"
#include "project/ProjectProperty_unit.h"

namespace {

const char kPath[] = "C:\\work\\bench.ini";

struct Timing {
    double load = 0;
    double save = 0;
};

double Millis(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Fill(TProjectProperty& project, int records, int textLines) {
    project.Name1 = "Bench";
    for (int n = 0; n < records; ++n) {
        TCopyFile& file = project.Files.Add();
        file.SourceFile = "payload\\dir" + std::to_string(n % 97) + "\\file" + std::to_string(n) + ".dat";
        file.DestFile = "[Install Folder]\\dir" + std::to_string(n % 97) + "\\file" + std::to_string(n) + ".dat";
        file.DeleteMode = static_cast<uint8_t>(n % 3);
    }
    for (int n = 0; n < textLines; ++n) {
        project.Information.push_back("This is line " + std::to_string(n) + " of a long information text.");
    }
}

// The best of a few runs, so that one slow run does not hide the cost.
Timing Measure(int records, int textLines) {
    TProjectProperty source;
    Fill(source, records, textLines);
    Timing best{1e9, 1e9};
    for (int run = 0; run < 7; ++run) {
        auto start = std::chrono::steady_clock::now();
        source.Save(kPath);
        best.save = std::min(best.save, Millis(start));
        TProjectProperty loaded;
        start = std::chrono::steady_clock::now();
        loaded.Load(kPath);
        best.load = std::min(best.load, Millis(start));
        if (loaded.Files.Count() != records || static_cast<int>(loaded.Information.size()) != textLines) {
            std::fprintf(stderr, "round trip lost data at %d records\n", records);
            std::exit(1);
        }
    }
    return best;
}

}  // namespace

int main() {
    sim::ResetFileSystem();
    std::printf("%-28s %10s %10s %12s\n", "project", "load ms", "save ms", "file bytes");
    const int sizes[] = {1000, 8000, 65536};
    std::vector<Timing> timings;
    for (int records : sizes) {
        Timing t = Measure(records, 0);
        timings.push_back(t);
        std::printf("%-28s %10.1f %10.1f %12zu\n", (std::to_string(records) + " file records").c_str(),
                    t.load, t.save, sim::Content(kPath).size());
    }
    Timing text = Measure(0, 10000);
    std::printf("%-28s %10.1f %10.1f %12zu\n", "10000-line text block", text.load, text.save,
                sim::Content(kPath).size());
    std::printf("ratio 8000/1000 records:   load %.2f  save %.2f\n", timings[1].load / timings[0].load,
                timings[1].save / timings[0].save);
    std::printf("ratio 65536/8000 records:  load %.2f  save %.2f  (8.19x records)\n",
                timings[2].load / timings[1].load, timings[2].save / timings[1].save);
    return 0;
}

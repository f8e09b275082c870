#include "platform/sim/SimProcess.h"

#include <deque>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace {

struct ProcessState {
    std::vector<sim::StartedBatch> batches;
    bool failStart = false;
    std::vector<std::string> deletesAtRestart;
    std::deque<std::string> randomQueue;
    unsigned long long counter = 0;
    bool failRandom = false;
};

ProcessState& Proc() {
    static ProcessState state;
    return state;
}

}  // namespace

namespace sim {

void ResetProcess() { Proc() = ProcessState(); }
const std::vector<StartedBatch>& StartedBatches() { return Proc().batches; }
void FailStartBatch(bool fail) { Proc().failStart = fail; }
const std::vector<std::string>& DeletesAtRestart() { return Proc().deletesAtRestart; }
void QueueRandomHex(const std::vector<std::string>& values) {
    Proc().randomQueue.insert(Proc().randomQueue.end(), values.begin(), values.end());
}
void FailRandom(bool fail) { Proc().failRandom = fail; }

}  // namespace sim

namespace plat {

bool StartBatch(const std::string& batch, const std::string& workFolder) {
    if (Proc().failStart) {
        KeepError(2);  // ERROR_FILE_NOT_FOUND, as for a missing cmd.exe
        return false;
    }
    Proc().batches.push_back({batch, workFolder, CurrentFolder()});
    return true;
}

bool DeleteAtRestart(const std::string& path) {
    Proc().deletesAtRestart.push_back(path);
    return true;
}

std::string RandomHex(int bytes) {
    if (Proc().failRandom) KeepError(31);  // ERROR_GEN_FAILURE
    if (Proc().failRandom || bytes <= 0) return std::string();
    const size_t digits = static_cast<size_t>(bytes) * 2;
    std::string value;
    if (!Proc().randomQueue.empty()) {
        value = Proc().randomQueue.front();
        Proc().randomQueue.pop_front();
    } else {
        static const char kHex[] = "0123456789abcdef";
        for (unsigned long long n = ++Proc().counter; n; n >>= 4) value.insert(value.begin(), kHex[n & 15]);
    }
    if (value.size() > digits) value.resize(digits);
    return std::string(digits - value.size(), '0') + value;
}

}  // namespace plat

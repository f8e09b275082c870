#pragma once
// Test control of the sim process services: the batches it started, what it
// scheduled for deletion at the next restart, and its random source.
#include <string>
#include <vector>

namespace sim {

void ResetProcess();

struct StartedBatch {
    std::string batch;          // the batch file, as passed
    std::string workFolder;     // the folder it was started in
    std::string currentFolder;  // the program's own current folder at that moment
};
// Every StartBatch call, oldest first.
const std::vector<StartedBatch>& StartedBatches();
// StartBatch fails (records nothing) while set.
void FailStartBatch(bool fail = true);

// Every DeleteAtRestart call, oldest first.
const std::vector<std::string>& DeletesAtRestart();

// The next values RandomHex answers, each cut or padded to the length asked,
// oldest first; after them it counts 0000000000000001, ...2, ...
void QueueRandomHex(const std::vector<std::string>& values);
// RandomHex answers "" while set.
void FailRandom(bool fail = true);

}  // namespace sim

#pragma once
// `setupproj scan`: the folder and copy records that install a payload
// folder, and their merge into a project.
#include <string>
#include <vector>

#include "project/CopyFile_unit.h"
#include "project/MakeFolder_unit.h"

class TProjectProperty;

namespace setupproj {

struct PayloadEntry {
    std::string path;  // below the payload folder, "\" separated (CP932)
    bool folder;
};

struct ScanOptions {
    std::string dest = "[Install Folder]";  // where the payload folder's content goes
    std::string sourcePrefix;               // the payload folder seen from the project's folder, "" or ending in "\"
    int deleteMode = 0;                     // of records that are new to the project
};

struct ScanRecords {
    std::vector<TMakeFolder> folders;  // parents before children
    std::vector<TCopyFile> files;
};

// Why a destination cannot take the payload (empty when it can): it must
// begin with a folder keyword or be a full path.
std::string ScanDestinationProblem(const std::string& dest);

// entries: parents before their children.
ScanRecords BuildScanRecords(const std::vector<PayloadEntry>& entries, const ScanOptions& options);

// Replaces the project's records that install the payload by the scanned
// ones: the copy records whose source lies in the payload folder, and the
// folder records at or below the destination that no other record needs.
// A record whose destination stays keeps its KeepOnUninstall or DeleteMode;
// every other record stays where it is. New folders go before the first
// record of a folder inside them, so that parents come before children.
void MergeScan(TProjectProperty& project, const ScanRecords& scanned, const ScanOptions& options);

// The records as project text (CP932, CR LF): a [Make Folder] and a
// [Copy File] section.
std::string FormatScanRecords(const ScanRecords& records);

}  // namespace setupproj

#include "tools/setupproj/Scan.h"

#include <map>
#include <set>

#include "engine/RunPath_unit.h"
#include "platform/AnsiText.h"
#include "platform/PathRules.h"
#include "project/IniFile_unit.h"
#include "project/ProjectProperty_unit.h"
#include "project/ProjectSchema_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectText.h"
#include "tools/setupproj/WinPath.h"

namespace setupproj {

namespace {

// Paths compare as the file system compares them.
using plat::path::KeyOf;

bool AtOrBelow(const std::string& pathKey, const std::string& folderKey) {
    const std::string prefix = plat::ansi::EndsWithSeparator(folderKey) ? folderKey : folderKey + "\\";
    return pathKey == folderKey || pathKey.compare(0, prefix.size(), prefix) == 0;
}

// The destination without trailing separators.
std::string DestRoot(const std::string& dest) {
    std::string root = dest;
    while (plat::ansi::EndsWith(root, '\\') || plat::ansi::EndsWith(root, '/')) root.pop_back();
    return root;
}

bool IsPayloadSource(const std::string& source, const ScanOptions& options) {
    if (RunPath::IsAbsolutePath(source) || source.empty()) return false;
    if (options.sourcePrefix.empty()) return true;
    return AtOrBelow(KeyOf(source), KeyOf(options.sourcePrefix));
}

}  // namespace

std::string ScanDestinationProblem(const std::string& dest) {
    if (dest.empty()) return "the destination is empty";
    bool keywordFolder = false;
    if (LeadingKeyword(dest, keywordFolder) < 0 && !RunPath::IsAbsolutePath(dest)) {
        std::string message = "the destination '" + Shown(dest) + "' must begin with a folder keyword or be a full path";
        const std::string mistake = KeywordMistake(dest);
        return mistake.empty() ? message : message + ": " + mistake;
    }
    return std::string();
}

ScanRecords BuildScanRecords(const std::vector<PayloadEntry>& entries, const ScanOptions& options) {
    ScanRecords records;
    const std::string root = DestRoot(options.dest);
    bool keywordFolder = false;
    const int keyword = LeadingKeyword(root, keywordFolder);
    if (keyword >= 0 && !keywordFolder) {
        // The folders between the keyword's folder and the destination.
        std::string folder = kFolderKeywords[keyword];
        for (const std::string& part : SplitRelative(root.substr(folder.size()))) {
            folder += "\\" + part;
            records.folders.push_back(TMakeFolder{folder, 0});
        }
    } else if (keyword < 0 && !ParseFullPath(root).IsRoot()) {
        records.folders.push_back(TMakeFolder{root, 0});
    }
    for (const PayloadEntry& entry : entries) {
        const std::string dest = root + "\\" + entry.path;
        if (entry.folder) {
            records.folders.push_back(TMakeFolder{dest, 0});
        } else {
            records.files.push_back(
                TCopyFile{options.sourcePrefix + entry.path, dest, static_cast<uint8_t>(options.deleteMode)});
        }
    }
    return records;
}

void MergeScan(TProjectProperty& project, const ScanRecords& scanned, const ScanOptions& options) {
    const std::string rootKey = KeyOf(DestRoot(options.dest));

    // Files: the payload's records go where the first of the old ones stood.
    std::map<std::string, uint8_t> oldModes;
    std::vector<TCopyFile> files;
    int insertAt = -1;
    for (int i = 0; i < project.Files.Count(); ++i) {
        const TCopyFile& item = project.Files.Items(i);
        if (IsPayloadSource(item.SourceFile, options)) {
            oldModes.emplace(KeyOf(item.DestFile), item.DeleteMode);
            if (insertAt < 0) insertAt = static_cast<int>(files.size());
            continue;
        }
        files.push_back(item);
    }
    std::vector<TCopyFile> fresh;
    for (TCopyFile item : scanned.files) {
        auto old = oldModes.find(KeyOf(item.DestFile));
        if (old != oldModes.end()) item.DeleteMode = old->second;
        fresh.push_back(item);
    }
    files.insert(insertAt < 0 ? files.end() : files.begin() + insertAt, fresh.begin(), fresh.end());

    // Folders below the destination stay where a record that stays puts
    // something into them, or where the project keeps them on uninstall.
    std::vector<std::string> keptItems;
    for (const TCopyFile& item : files) keptItems.push_back(KeyOf(item.DestFile));
    for (int i = 0; i < project.Shortcuts.Count(); ++i) keptItems.push_back(KeyOf(project.Shortcuts.Items(i).LinkFile));
    std::map<std::string, uint8_t> oldKeeps;
    std::vector<TMakeFolder> folders;
    for (int i = 0; i < project.Folders.Count(); ++i) {
        const TMakeFolder& item = project.Folders.Items(i);
        const std::string key = KeyOf(item.FolderPath);
        if (!rootKey.empty() && AtOrBelow(key, rootKey)) {
            oldKeeps.emplace(key, item.KeepOnUninstall);
            bool needed = false;
            for (const std::string& kept : keptItems) needed = needed || (kept != key && AtOrBelow(kept, key));
            if (!needed && item.KeepOnUninstall == 0) continue;
        }
        folders.push_back(item);
    }
    for (TMakeFolder item : scanned.folders) {
        const std::string key = KeyOf(item.FolderPath);
        bool listed = false;
        for (const TMakeFolder& f : folders) listed = listed || KeyOf(f.FolderPath) == key;
        if (listed) continue;
        auto old = oldKeeps.find(key);
        if (old != oldKeeps.end()) item.KeepOnUninstall = old->second;
        size_t at = folders.size();
        for (size_t i = 0; i < folders.size(); ++i) {
            const std::string other = KeyOf(folders[i].FolderPath);
            if (other != key && AtOrBelow(other, key)) {
                at = i;
                break;
            }
        }
        folders.insert(folders.begin() + static_cast<std::ptrdiff_t>(at), item);
    }

    project.Files.Clear();
    for (const TCopyFile& item : files) project.Files.Add() = item;
    project.Folders.Clear();
    for (const TMakeFolder& item : folders) project.Folders.Add() = item;
}

std::string FormatScanRecords(const ScanRecords& records) {
    TProjectProperty project;  // the scanned records only
    for (const TMakeFolder& item : records.folders) project.Folders.Add() = item;
    for (const TCopyFile& item : records.files) project.Files.Add() = item;
    TProjectIniFile ini;
    for (const TSchemaPart& part : ProjectSchema()) {
        // Both sections, even when one is empty; a scan makes no shortcuts.
        if (!part.Records || part.Records->Member == std::string("Shortcuts")) continue;
        ini.AddSection().Name = part.Section;
        SchemaWriteRecords(ini, project, part);
    }
    return ini.Serialize();
}

}  // namespace setupproj

#pragma once
// Shortcuts that the installation creates ("ShortCut File" records).
#include <cstdint>
#include <string>

#include "project/OwnedList.h"

struct TShortCutFile {
    std::string LinkFile;       // shortcut path without ".lnk"; may begin with a keyword
    std::string TargetFile;     // what the shortcut starts
    std::string WorkDirectory;  // its working folder
    uint8_t ShowMode = 0;       // 1 minimized, 2 maximized, otherwise normal
    std::string Description;
    std::string ExtraFile;      // carried from Load to Save unchanged
    int32_t ExtraNumber = 0;    // carried from Load to Save unchanged
};

using TShortCutFiles = TOwnedList<TShortCutFile>;

// The sim backend's system services.
#include "platform/sim/SimSystem.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Security.h"
#include "platform/sim/WindowsDescriptors.h"

namespace {

struct SystemState {
    std::string windowsFolder = "C:\\Windows";
    std::string systemFolder = "C:\\Windows\\system32";
    bool failWindows = false, failSystem = false;
    plat::TrustIdentity identity = {sim::descriptors::kUser, false, "BA"};
    int comInits = 0;
    bool linkAvailable = true;
    int liveLinks = 0;
    std::vector<std::string> debugOutput;
    int screenWidth = 1024, screenHeight = 768;
    plat::LocalDate today{2026, 4, 1};
};

SystemState& Sys() {
    static SystemState state;
    return state;
}

const char kLinkMagic[] = "SIMLINK1\n";

void PutField(std::string& out, const std::string& field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
    out += '\n';
}

bool GetField(const std::string& in, size_t& pos, std::string& field) {
    size_t colon = in.find(':', pos);
    if (colon == std::string::npos || colon == pos) return false;
    size_t length = 0;
    for (size_t i = pos; i < colon; ++i) {
        if (in[i] < '0' || in[i] > '9') return false;
        length = length * 10 + static_cast<size_t>(in[i] - '0');
        if (length > in.size()) return false;
    }
    if (colon + 1 + length + 1 > in.size() || in[colon + 1 + length] != '\n') return false;
    field = in.substr(colon + 1, length);
    pos = colon + 1 + length + 1;
    return true;
}

}  // namespace

namespace sim {

void ResetSystem() { Sys() = SystemState(); }
void SetWindowsFolder(const std::string& folder) { Sys().windowsFolder = folder; }
void SetSystemFolder(const std::string& folder) { Sys().systemFolder = folder; }
void FailWindowsFolder(bool fail) { Sys().failWindows = fail; }
void SetIdentity(const plat::TrustIdentity& identity) { Sys().identity = identity; }
void FailSystemFolder(bool fail) { Sys().failSystem = fail; }
int ComInitializations() { return Sys().comInits; }
void SetLinkObjectAvailable(bool available) { Sys().linkAvailable = available; }
int LiveLinkObjects() { return Sys().liveLinks; }
const std::vector<std::string>& DebugOutput() { return Sys().debugOutput; }
void SetToday(const plat::LocalDate& date) { Sys().today = date; }
void SetScreenSize(int width, int height) {
    Sys().screenWidth = width;
    Sys().screenHeight = height;
}

std::string EncodeLink(const LinkFields& info) {
    std::string out = kLinkMagic;
    PutField(out, info.path);
    PutField(out, info.arguments);
    PutField(out, info.workingDirectory);
    PutField(out, info.description);
    PutField(out, std::to_string(info.showCmd));
    return out;
}

bool DecodeLink(const std::string& data, LinkFields& info) {
    const std::string magic = kLinkMagic;
    if (data.compare(0, magic.size(), magic) != 0) return false;
    size_t pos = magic.size();
    LinkFields read;
    std::string show;
    if (!GetField(data, pos, read.path) || !GetField(data, pos, read.arguments) ||
        !GetField(data, pos, read.workingDirectory) || !GetField(data, pos, read.description) ||
        !GetField(data, pos, show) || show.empty() || show.size() > 9) {
        return false;
    }
    for (char c : show) {
        if (c < '0' || c > '9') return false;
        read.showCmd = read.showCmd * 10 + (c - '0');
    }
    info = read;
    return true;
}

}  // namespace sim

namespace plat {

bool QueryWindowsFolder(std::string& folder) {
    if (Sys().failWindows) return false;
    folder = Sys().windowsFolder;
    return true;
}

bool QuerySystemWindowsFolder(std::string& folder) {
    if (Sys().failWindows) return false;
    folder = "C:\\Windows";
    return true;
}

TrustIdentity CurrentIdentity() { return Sys().identity; }

bool QuerySystemFolder(std::string& folder) {
    if (Sys().failSystem) return false;
    folder = Sys().systemFolder;
    return true;
}

void InitializeCom() { ++Sys().comInits; }
void UninitializeCom() { --Sys().comInits; }

struct ShellLink::Impl {
    sim::LinkFields info;
};

ShellLink::ShellLink() = default;

ShellLink::~ShellLink() {
    if (impl_) --Sys().liveLinks;
}

bool ShellLink::Create() {
    if (impl_) return true;
    if (!Sys().linkAvailable) {
        KeepError(0x80040154u);  // REGDB_E_CLASSNOTREG: no link object registered
        return false;
    }
    impl_ = std::make_unique<Impl>();
    impl_->info.showCmd = kShowNormal;  // the link object's default
    ++Sys().liveLinks;
    return true;
}

void ShellLink::SetPath(const std::string& path) {
    if (impl_) impl_->info.path = path;
}
void ShellLink::SetArguments(const std::string& arguments) {
    if (impl_) impl_->info.arguments = arguments;
}
void ShellLink::SetWorkingDirectory(const std::string& folder) {
    if (impl_) impl_->info.workingDirectory = folder;
}
void ShellLink::SetShowCmd(int showCmd) {
    if (impl_) impl_->info.showCmd = showCmd;
}
void ShellLink::SetDescription(const std::string& description) {
    if (impl_) impl_->info.description = description;
}

bool ShellLink::Save(const std::string& linkPath) {
    if (!impl_ || linkPath.empty()) {
        KeepError(0x80070057u);  // E_INVALIDARG
        return false;
    }
    // Fails as the file would: missing folder, creation refused, file in use.
    return WriteWholeFile(linkPath, sim::EncodeLink(impl_->info));
}


void DebugOutput(const std::string& text) { Sys().debugOutput.push_back(text); }

LocalDate TodayLocal() { return Sys().today; }
int ScreenWidth() { return Sys().screenWidth; }
int ScreenHeight() { return Sys().screenHeight; }

}  // namespace plat

// A DLL that someone plants beside Setup.exe under the name of a system DLL.
// Loading it is all it takes: DllMain writes "<its own path>.loaded", which
// the planting test looks for. The exports are stubs with the names that a
// program importing the real DLL would bind to, so that such a program would
// start with it.
#include <windows.h>
#include <winnetwk.h>

namespace {

void WriteMarker(HINSTANCE self) {
    char path[MAX_PATH + 16] = {};
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatA(path, ".loaded");
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI WNetOpenEnumA(DWORD, DWORD, DWORD, LPNETRESOURCEA, LPHANDLE) {
    return ERROR_NO_NETWORK;
}
extern "C" __declspec(dllexport) DWORD WINAPI WNetCloseEnum(HANDLE) { return ERROR_NO_NETWORK; }
extern "C" __declspec(dllexport) DWORD WINAPI WNetConnectionDialog(HWND, DWORD) { return ERROR_NO_NETWORK; }

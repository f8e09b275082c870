#pragma once
// Test control of the sim registry: two roots of keys with typed values,
// key names compared case-insensitively (ASCII letters), a standard-user mode
// and faults on demand.
//
// Default state (ResetRegistry, also before the first use):
//   HKLM Software\Microsoft\Windows\CurrentVersion "ProgramFilesDir" = "C:\Program Files";
//   HKCU ...\CurrentVersion\Explorer\Shell Folders "Start Menu", "Programs",
//   "Startup", "Desktop", "SendTo" = the sim profile's folders;
//   HKLM ...\CurrentVersion\Explorer\Shell Folders "Common Start Menu",
//   "Common Programs", "Common Startup", "Common Desktop", "Common SendTo" =
//   the all-users folders (see SimFileSystem.h).
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace sim {

extern const char* const kCurrentVersionKey;  // Software\Microsoft\Windows\CurrentVersion
extern const char* const kShellFoldersKey;    // ...\CurrentVersion\Explorer\Shell Folders

void ResetRegistry();

// Keys are given as sub-key paths below the root, with or without a leading "\".
void AddKey(plat::RootKey root, const std::string& key);  // with missing parents
bool RemoveKey(plat::RootKey root, const std::string& key);  // the whole tree, ignoring every guard
// Creates the key when missing; data is stored as given (no terminating zero needed).
void SetValue(plat::RootKey root, const std::string& key, const std::string& name, plat::RegType type,
              const std::string& data);
bool RemoveValue(plat::RootKey root, const std::string& key, const std::string& name);
bool KeyExists(plat::RootKey root, const std::string& key);
bool ValueExists(plat::RootKey root, const std::string& key, const std::string& name);
std::string ValueOf(plat::RootKey root, const std::string& key, const std::string& name);  // "" when missing
plat::RegType TypeOf(plat::RootKey root, const std::string& key, const std::string& name);  // None when missing
std::vector<std::string> ValueNames(plat::RootKey root, const std::string& key);
std::vector<std::string> SubKeyNames(plat::RootKey root, const std::string& key);

// A standard user: HKEY_LOCAL_MACHINE opens for reading only; opening it for
// all access, creating keys, writing values and deleting keys there fail.
void SetStandardUser(bool on);
// DeleteKeyTree fails for this key and for every key that contains it.
void FailDeleteOf(plat::RootKey root, const std::string& key, bool fail = true);
// Creating keys and writing values at this key or below it fail.
void FailWritesUnder(plat::RootKey root, const std::string& key, bool fail = true);
// Writing this one value of this key fails (access denied).
void FailWriteOfValue(plat::RootKey root, const std::string& key, const std::string& name, bool fail = true);

// plat::RegKey objects that hold an open key now.
int OpenKeys();

// Every key and value as readable lines ("HKLM\Software\X" and
// "HKLM\Software\X [Name] = String:data"; a REG_DWORD "Dword:<decimal>"), sorted, for before/after comparisons.
std::vector<std::string> RegistrySnapshot();

}  // namespace sim

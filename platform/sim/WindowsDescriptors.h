#pragma once
// Owners and DACLs of the folders a Windows machine starts with, as
// Windows 10 22H2 shows them (Get-Acl's Owner and Sddl, icacls for the same
// entries). The sim's default machine carries them, and the folder-trust
// tests judge them.
namespace sim::descriptors {

struct Descriptor {
    const char* owner;
    const char* dacl;
};

#define ORVANE_SID_TI "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
#define ORVANE_SID_USER "S-1-5-21-3623811015-3361044348-30300820-1001"

// The user of the examples: a local account's SID.
inline constexpr const char* kUser = ORVANE_SID_USER;

// C:\: Administrators and SYSTEM full, Users read and run, Authenticated
// Users may add subfolders to the root and, inherit-only, modify what is
// made below it.
inline constexpr Descriptor kSystemDriveRoot = {
    ORVANE_SID_TI, "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)"};

// C:\Program Files, C:\Program Files (x86) and C:\Windows show the same
// entries: TrustedInstaller full, SYSTEM and Administrators modify on the
// folder and full below it, Users and the app packages read and run.
inline constexpr Descriptor kProgramFiles = {
    ORVANE_SID_TI,
    "D:PAI(A;;FA;;;" ORVANE_SID_TI ")(A;CIIO;GA;;;" ORVANE_SID_TI ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"
    "(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)"
    "(A;;0x1200a9;;;AC)(A;OICIIO;GXGR;;;AC)(A;;0x1200a9;;;S-1-15-2-2)(A;OICIIO;GXGR;;;S-1-15-2-2)"};

// C:\Windows\Temp: Users may add files and subfolders, and own what they add.
inline constexpr Descriptor kWindowsTemp = {
    "SY", "D:PAI(A;CI;0x100026;;;BU)(A;;FA;;;BA)(A;OICIIO;GA;;;BA)(A;;FA;;;SY)(A;OICIIO;GA;;;SY)(A;OICIIO;GA;;;CO)"};

// C:\Users: SYSTEM and Administrators full, Users and Everyone read and run.
inline constexpr Descriptor kUsers = {
    "SY", "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;;0x1200a9;;;WD)"
          "(A;OICIIO;GXGR;;;WD)"};

// C:\Users\<user>: SYSTEM, Administrators and the user full, nobody else.
inline constexpr Descriptor kProfile = {
    "SY", "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" ORVANE_SID_USER ")"};

// C:\ProgramData: Users read and run, and may add files and subfolders to
// the folder and to every folder made below it.
inline constexpr Descriptor kProgramData = {
    "SY", "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)(A;CI;DCLCRPCR;;;BU)"};

// A folder the user made below C:\ (mkdir C:\Tools): the user owns it and
// Authenticated Users may modify it, as C:\ passes down.
inline constexpr Descriptor kUserFolderBelowSystemRoot = {
    ORVANE_SID_USER,
    "D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)"};

// The root of a volume formatted by Windows (D:\): Authenticated Users may
// modify the root itself and, inherit-only, what is made below it.
inline constexpr Descriptor kNewVolumeRoot = {
    "BA", "D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x1301bf;;;AU)(A;OICI;0x1200a9;;;BU)"};

#undef ORVANE_SID_TI
#undef ORVANE_SID_USER

}  // namespace sim::descriptors

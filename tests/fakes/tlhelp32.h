// A stand-in for <tlhelp32.h> in the native build: the snapshot of the
// system's processes that tells which program a window belongs to. The
// functions are defined in fake_win32.cpp over fake::platform.processes.
#pragma once

#include <windows.h>

constexpr DWORD TH32CS_SNAPPROCESS = 0x00000002;

struct PROCESSENTRY32 {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    uintptr_t th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    long pcPriClassBase;
    DWORD dwFlags;
    char szExeFile[MAX_PATH];
};

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD process_id);
BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry);
BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry);

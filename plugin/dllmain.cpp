// The module's entry point. Loading and unloading the plug-in does no work of
// its own: everything starts in beginPlugin. The DLL is linked without the C
// runtime's start-up code, which it does not need (no static constructors, no
// thread-local data, no data imported from DLLs), and which would be a third
// of its size; this function is the entry the loader calls instead.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

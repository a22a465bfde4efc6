#include <windows.h>

// The host loads and unloads the module; there is nothing to set up per
// process or thread, so every notice succeeds.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

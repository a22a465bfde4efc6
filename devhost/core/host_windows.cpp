#include "devhost/core/host_windows.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace devhost {

#if defined(_WIN32)

HostWindows::HostWindows(std::span<const std::string> classes)
{
    HINSTANCE program = GetModuleHandleA(nullptr);
    for (const std::string& name : classes) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = program;
        windowClass.lpszClassName = name.c_str();
        RegisterClassA(&windowClass);  // a second host finds it registered
        if (HWND window = CreateWindowA(name.c_str(), "devhost", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr,
                                        nullptr, program, nullptr))
            windows_.push_back(window);
    }
}

HostWindows::~HostWindows()
{
    for (void* window : windows_)
        DestroyWindow(static_cast<HWND>(window));
}

#else

HostWindows::HostWindows(std::span<const std::string>) {}
HostWindows::~HostWindows() = default;

#endif

}  // namespace devhost

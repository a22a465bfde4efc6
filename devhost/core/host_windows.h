// The host's main windows, which the module looks for by class name when it
// sets up its switch sounds. Natively the module asks the development host
// (vardexFindHostWindow) and nothing is created; the .gau asks Windows
// (FindWindowA), so the Windows build opens one hidden top-level window of
// each class for as long as the host lives.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace devhost {

class HostWindows {
public:
    explicit HostWindows(std::span<const std::string> classes);
    ~HostWindows();
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

private:
    std::vector<void*> windows_;
};

}  // namespace devhost

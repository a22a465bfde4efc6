// JSBSim, the flight-dynamics program, run as a child process on one of its
// scripts (Linux only; devhost.exe has no flight model).
//
// Each run gets a private temporary folder as JSBSim's root: links to the
// aircraft's folders (aircraft/, engine/, systems/ of the project's fdm/),
// the output directive devhost writes, JSBSim's log, and a FIFO that JSBSim
// writes its CSV records into. devhost reads them as it needs them, so the
// model runs no further ahead of the panel than the pipe holds. Once JSBSim
// has written its first line it has read and opened all it needs, and the
// folder is removed: a devhost stopped by Ctrl-C leaves nothing behind. The child runs in batch mode (as fast as it goes), in a
// user and network namespace of its own, so that no socket an aircraft or
// script file might open is reachable from any network, and dies with
// devhost (parent-death signal, and a kill when the run is destroyed).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/input_error.h"

namespace devhost {

// The flight model's faults: the file named is the script flown, or the
// program when it is the program that is missing.
class ModelError : public InputError {
public:
    using InputError::InputError;
};

// Where the JSBSim program is: the path given (--jsbsim), else $VARDEX_JSBSIM,
// else the folders scripts/install-deps.sh puts it in (/opt/vardex/jsbsim when
// run as root, ~/.cache/vardex/jsbsim otherwise), else JSBSim on the PATH. The
// program is asked for its --help, which must offer the options devhost
// uses; no version is pinned. Throws ModelError saying how to get it.
std::string findJsbsim(const std::string& given);

struct JsbsimRun {
    std::string program;
    std::string script;                   // the JSBSim script flown
    std::string root;                     // the folder holding aircraft/, engine/, systems/
    std::vector<std::string> properties;  // written each output step, in this order
    double outputRate = 18;               // records a second of simulated time
    double simulationRate = 126;          // integration steps a second
};

class JsbsimProcess {
public:
    explicit JsbsimProcess(const JsbsimRun& run);
    ~JsbsimProcess();   // kills the child if it still runs, removes the folder
    // One child and one folder each.
    JsbsimProcess(const JsbsimProcess&) = delete;
    JsbsimProcess& operator=(const JsbsimProcess&) = delete;

    // The next line JSBSim writes (the labels first), waiting for it;
    // nothing once it has finished its script and exited cleanly. Throws
    // ModelError when it dies, stops with an error or falls silent.
    std::optional<std::string> nextLine();

    const JsbsimRun& run() const { return run_; }

private:
    // A folder of our own, removed with everything in it (links are removed,
    // not followed).
    struct Folder {
        std::filesystem::path path;
        ~Folder();
    };
    struct Descriptor {
        int fd = -1;
        ~Descriptor();
    };

    void start();
    std::optional<std::string> finish();   // after the output closed
    [[noreturn]] void fail(const std::string& problem) const;
    std::string logExcerpt() const;

    JsbsimRun run_;
    Folder folder_;
    Descriptor output_;
    Descriptor log_;        // read back for the error messages, after the folder is gone
    pid_t pid_ = -1;
    std::string root_;      // the folder JSBSim was given as its root, once removed
    std::string pending_;   // read, not yet a whole line
    bool ended_ = false;
};

}  // namespace devhost

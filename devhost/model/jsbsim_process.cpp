#include "devhost/model/jsbsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace devhost {

namespace {

// A batch run writes a record every few milliseconds: this long without one
// is a model that hangs.
constexpr auto SilenceLimit = std::chrono::seconds(30);
constexpr int PollMilliseconds = 50;
// The exit status the child gives when it cannot be isolated.
constexpr int NoNamespaceStatus = 125;
constexpr const char* InstallHint = "scripts/install-deps.sh fetches it (the JSBSim program alone, from Debian's "
                                    "flightgear package), or give its path with --jsbsim or $VARDEX_JSBSIM";

// The program's --help, read through a pipe; empty when it does not run.
std::string helpOf(const std::string& program)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    std::string help = "--help";
    std::array<char*, 3> argv = {const_cast<char*>(program.c_str()), help.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string text;
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);)
            if (n > 0 && text.size() < 1 << 20)
                text.append(buffer, static_cast<size_t>(n));
        waitpid(pid, nullptr, 0);
    }
    close(pipeEnds[0]);
    return text;
}

bool runsAsJsbsim(const std::string& program)
{
    const std::string help = helpOf(program);
    return help.find("JSBSim") != std::string::npos && help.find("--logdirectivefile") != std::string::npos &&
           help.find("--simulation-rate") != std::string::npos;
}

bool executable(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

std::string findJsbsim(const std::string& given)
{
    auto checked = [](const std::string& path, const std::string& how) {
        if (!executable(path))
            throw ModelError(path, 0, fmt::format("no JSBSim program there ({}); {}", how, InstallHint));
        if (!runsAsJsbsim(path))
            throw ModelError(path, 0, fmt::format("this program ({}) is not a JSBSim that offers --logdirectivefile "
                                                  "and --simulation-rate; {}", how, InstallHint));
        return path;
    };
    if (!given.empty())
        return checked(given, "--jsbsim");
    if (const char* named = std::getenv("VARDEX_JSBSIM"); named && *named)
        return checked(named, "$VARDEX_JSBSIM");
    std::vector<std::filesystem::path> candidates = {"/opt/vardex/jsbsim/JSBSim"};
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        candidates.push_back(std::filesystem::path(cache) / "vardex/jsbsim/JSBSim");
    else if (const char* home = std::getenv("HOME"); home && *home)
        candidates.push_back(std::filesystem::path(home) / ".cache/vardex/jsbsim/JSBSim");
    if (const char* path = std::getenv("PATH")) {
        std::istringstream folders(path);
        for (std::string folder; std::getline(folders, folder, ':');)
            if (!folder.empty())
                candidates.push_back(std::filesystem::path(folder) / "JSBSim");
    }
    for (const std::filesystem::path& candidate : candidates)
        if (executable(candidate) && runsAsJsbsim(candidate))
            return candidate.string();
    throw ModelError("JSBSim", 0, fmt::format("the flight model's program is not installed; {}", InstallHint));
}

JsbsimProcess::Folder::~Folder()
{
    std::error_code error;
    if (!path.empty())
        std::filesystem::remove_all(path, error);
}

JsbsimProcess::Descriptor::~Descriptor()
{
    if (fd >= 0)
        close(fd);
}

JsbsimProcess::JsbsimProcess(const JsbsimRun& run) : run_(run)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vardex-jsbsim-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw ModelError(run_.script, 0, fmt::format("cannot make a folder for the flight model in {}: {}",
                                                     std::filesystem::temp_directory_path().string(),
                                                     std::strerror(errno)));
    folder_.path = pattern;
    start();
}

JsbsimProcess::~JsbsimProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

void JsbsimProcess::start()
{
    const std::filesystem::path& folder = folder_.path;
    std::error_code error;
    for (const char* part : {"aircraft", "engine", "systems"})
        if (std::filesystem::is_directory(std::filesystem::path(run_.root) / part, error))
            std::filesystem::create_directory_symlink(std::filesystem::absolute(std::filesystem::path(run_.root) / part),
                                                      folder / part, error);

    // The records as CSV, at the panel's frame rate, into the FIFO; JSBSim
    // names its output files from its root.
    {
        std::ofstream directive(folder / "output.xml");
        directive << "<?xml version=\"1.0\"?>\n<output type=\"CSV\" name=\"records.csv\" rate=\""
                  << fmt::format("{}", run_.outputRate) << "\">\n";
        for (const std::string& property : run_.properties)
            directive << "  <property> " << property << " </property>\n";
        directive << "</output>\n";
        if (!directive.flush())
            throw ModelError(run_.script, 0, "cannot write the flight model's output directive in " + folder.string());
    }
    const std::filesystem::path records = folder / "records.csv";
    if (mkfifo(records.c_str(), 0600) != 0)
        throw ModelError(run_.script, 0, fmt::format("cannot make the flight model's pipe: {}", std::strerror(errno)));
    // Open before the child starts, so that its open for writing finds a
    // reader and does not wait.
    output_.fd = open(records.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    Descriptor log{open((folder / "jsbsim.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    log_.fd = open((folder / "jsbsim.log").c_str(), O_RDONLY | O_CLOEXEC);
    Descriptor nothing{open("/dev/null", O_RDONLY | O_CLOEXEC)};
    if (output_.fd < 0 || log.fd < 0 || log_.fd < 0 || nothing.fd < 0)
        throw ModelError(run_.script, 0, fmt::format("cannot open the flight model's files: {}", std::strerror(errno)));

    // Everything the child needs is made before the fork: after it, only
    // calls that are safe in a copy of a process.
    std::vector<std::string> arguments = {
        run_.program,
        "--nohighlight",
        "--root=" + folder.string(),
        "--script=" + std::filesystem::absolute(run_.script).string(),
        "--logdirectivefile=" + (folder / "output.xml").string(),
        fmt::format("--simulation-rate={}", run_.simulationRate),
    };
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string uidMap = fmt::format("{0} {0} 1\n", geteuid());
    const std::string gidMap = fmt::format("{0} {0} 1\n", getegid());
    const pid_t parent = getpid();
    const char* const noNamespace = "devhost: cannot give JSBSim a user and network namespace of its own\n";

    const pid_t pid = fork();
    if (pid < 0)
        throw ModelError(run_.script, 0, fmt::format("cannot start JSBSim: {}", std::strerror(errno)));
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
        dup2(log.fd, STDOUT_FILENO);
        dup2(log.fd, STDERR_FILENO);
        dup2(nothing.fd, STDIN_FILENO);
        if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
            [[maybe_unused]] ssize_t told = write(STDERR_FILENO, noNamespace, std::strlen(noNamespace));
            _exit(NoNamespaceStatus);
        }
        // The same user inside as out, so that the folder stays its to write.
        auto writeFile = [](const char* path, const std::string& text) {
            const int fd = open(path, O_WRONLY);
            if (fd >= 0) {
                [[maybe_unused]] ssize_t written = write(fd, text.data(), text.size());
                close(fd);
            }
        };
        writeFile("/proc/self/setgroups", "deny");
        writeFile("/proc/self/uid_map", uidMap);
        writeFile("/proc/self/gid_map", gidMap);
        // Taking on the new namespace's capabilities cleared the parent-death
        // signal: without it again, a devhost killed outright leaves JSBSim on.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    pid_ = pid;
}

std::optional<std::string> JsbsimProcess::nextLine()
{
    auto lastHeard = std::chrono::steady_clock::now();
    while (!ended_) {
        if (const size_t end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            if (!folder_.path.empty()) {
                std::error_code error;
                std::filesystem::remove_all(folder_.path, error);
                root_ = folder_.path.string();
                folder_.path.clear();
            }
            return line;
        }
        pollfd ready{.fd = output_.fd, .events = POLLIN};
        const int polled = poll(&ready, 1, PollMilliseconds);
        if (polled < 0 && errno != EINTR)
            fail(fmt::format("cannot read its output: {}", std::strerror(errno)));
        if (polled > 0) {
            char buffer[65536];
            const ssize_t n = read(output_.fd, buffer, sizeof buffer);
            if (n > 0) {
                pending_.append(buffer, static_cast<size_t>(n));
                lastHeard = std::chrono::steady_clock::now();
                continue;
            }
            if (n == 0)
                return finish();
            if (errno != EAGAIN && errno != EINTR)
                fail(fmt::format("cannot read its output: {}", std::strerror(errno)));
            continue;
        }
        // Nothing yet: a program that ended before it opened its output is
        // seen only by its exit.
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (WIFEXITED(status) && WEXITSTATUS(status) == NoNamespaceStatus)
                fail("it cannot run in a user and network namespace of its own (are unprivileged user namespaces "
                     "turned off, as by the sysctl kernel.unprivileged_userns_clone or "
                     "kernel.apparmor_restrict_unprivileged_userns?)");
            fail(WIFSIGNALED(status) ? fmt::format("JSBSim died of signal {} ({}) before its first output",
                                                   WTERMSIG(status), strsignal(WTERMSIG(status)))
                                     : fmt::format("JSBSim stopped before its first output (exit status {})",
                                                   WEXITSTATUS(status)));
        }
        if (std::chrono::steady_clock::now() - lastHeard > SilenceLimit)
            fail(fmt::format("JSBSim has written nothing for {} s: it hangs",
                             std::chrono::duration_cast<std::chrono::seconds>(SilenceLimit).count()));
    }
    return std::nullopt;
}

std::optional<std::string> JsbsimProcess::finish()
{
    ended_ = true;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        fail(fmt::format("JSBSim died of signal {} ({}){}", signal, strsignal(signal),
                         signal == SIGFPE ? ": a floating-point fault, such as a division by zero in the aircraft's "
                                            "functions or tables"
                                          : ""));
    }
    if (WEXITSTATUS(status) != 0)
        fail(fmt::format("JSBSim stopped with exit status {}", WEXITSTATUS(status)));
    if (!pending_.empty()) {
        std::string last = std::move(pending_);
        pending_.clear();
        return last;
    }
    return std::nullopt;
}

std::string JsbsimProcess::logExcerpt() const
{
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = pread(log_.fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    std::istringstream log(text);
    const std::string root = folder_.path.empty() ? root_ : folder_.path.string();
    std::vector<std::string> telling, last;
    for (std::string line; std::getline(log, line);) {
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        line = replaceAll(line.substr(first), root, run_.root);
        const bool tells = line.find("ERROR") != std::string::npos || line.find("xception") != std::string::npos ||
                           line.find("ould not") != std::string::npos || line.find("not successfully") != std::string::npos ||
                           line.find("failed") != std::string::npos || line.find("No property") != std::string::npos ||
                           line.find("devhost:") != std::string::npos || line.find("In file") != std::string::npos ||
                           line.find("Bad ") != std::string::npos;
        if (tells && telling.size() < 4)
            telling.push_back(excerpt(line, 200));
        last.push_back(excerpt(line, 200));
        if (last.size() > 3)
            last.erase(last.begin());
    }
    const std::vector<std::string>& shown = telling.empty() ? last : telling;
    std::string told;
    for (const std::string& line : shown)
        told += "\n  JSBSim: " + line;
    return told;
}

void JsbsimProcess::fail(const std::string& problem) const
{
    throw ModelError(run_.script, 0, problem + logExcerpt());
}

}  // namespace devhost

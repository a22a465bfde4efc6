// The devhost program as a user meets it: what it refuses on its command
// line, and that it stops when asked to.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A devhost process with its standard output and error read through one
// pipe.
class Devhost {
public:
    explicit Devhost(std::vector<std::string> arguments)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], STDOUT_FILENO);
            dup2(fds[1], STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(VARDEX_DEVHOST)};
            for (std::string& a : arguments)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(VARDEX_DEVHOST, argv.data());
            _exit(127);
        }
        close(fds[1]);
        output_ = fds[0];
    }
    ~Devhost()
    {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(output_);
    }

    // Reads what the program writes until the text appears, it ends, or the
    // time is up; true if the text appeared.
    bool readUntil(const std::string& text, std::chrono::seconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (text_.find(text) == std::string::npos && std::chrono::steady_clock::now() < end &&
               readSome(100) != Read::Ended) {
        }
        return text_.find(text) != std::string::npos;
    }

    // The wait status, or nothing if the program is still running when the
    // time is up. Its output is read meanwhile, so that it never blocks on
    // a full pipe.
    std::optional<int> wait(std::chrono::seconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!status_ && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
            else if (readSome(20) != Read::Some)
                usleep(20'000);
        }
        while (status_ && readSome(0) == Read::Some) {
        }
        return status_;
    }

    void signal(int number) { kill(pid_, number); }
    const std::string& text() const { return text_; }

private:
    enum class Read { Some, Nothing, Ended };

    // What came within the time: some output, nothing yet, or its end.
    Read readSome(int milliseconds)
    {
        pollfd p{output_, POLLIN, 0};
        if (poll(&p, 1, milliseconds) <= 0)
            return Read::Nothing;
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n <= 0)
            return Read::Ended;
        text_.append(buffer, static_cast<size_t>(n));
        return Read::Some;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string text_;
    std::optional<int> status_;
};

TEST(DevhostProgram, EndsPromptlyOnSigtermAndSigintWhileTheSwitchesHoldTheAudioOpen)
{
    for (int number : {SIGTERM, SIGINT}) {
        // Ten days of flight: it would run for hours.
        Devhost run({"run", "--seconds", "864000"});
        ASSERT_TRUE(run.readUntil("frames at", std::chrono::seconds(60))) << run.text();
        run.signal(number);
        std::optional<int> status = run.wait(std::chrono::seconds(10));
        ASSERT_TRUE(status) << "still running after signal " << number;
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == number) << *status;
    }
}

TEST(DevhostProgram, RefusesNumbersOutOfRangeNamingTheValueAndTheRange)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"run", "--seconds", "inf"}, "inf is out of range: expected 0 to 864000"},
        {{"run", "--seconds", "1e19"}, "1e19 is out of range"},
        {{"run", "--seconds", "1e15"}, "1e15 is out of range"},
        {{"run", "--seconds", "nan"}, "nan is out of range"},
        {{"run", "--frames", "-1"}, "-1 is out of range: expected 0 to 15552000"},
        {{"click", "--gauge", "Airspeed", "--at", "2147483648,0"}, "x 2147483648 is out of range"},
        {{"click", "--gauge", "Airspeed", "--at", "1,2", "--frames", "3000000000"}, "3000000000 is out of range"},
        {{"render", "--at", "1e20", "-o", "x.png"}, "1e+20 is out of range: not within"},
    };
    for (const auto& [arguments, expected] : cases) {
        Devhost devhost(arguments);
        std::optional<int> status = devhost.wait(std::chrono::seconds(60));
        ASSERT_TRUE(status) << arguments[1];
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << devhost.text();
        EXPECT_NE(devhost.text().find(expected), std::string::npos) << devhost.text();
    }
}

}  // namespace

// SIGTERM and Ctrl-C end the window program after a playback, as they do before one: the
// player must not leave SDL's handlers behind, which turn both into events nobody reads.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

using namespace std::chrono_literals;

// The probe, started with its output on a pipe.
struct Probe {
    pid_t pid = -1;
    FILE* output = nullptr;
};

Probe StartProbe(const std::string& file) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        execl(BRENVALE_SIGNAL_PROBE, BRENVALE_SIGNAL_PROBE, file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_ends[1]);
    return Probe{pid, fdopen(pipe_ends[0], "r")};
}

// How the process ended, or -1 when it still runs after `timeout` (it is killed then).
int WaitForEnd(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

TEST(WindowSignals, SigtermAndCtrlCEndTheProgramAfterAPlayback) {
    for (const int signal_number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal_number));
        Probe probe = StartProbe(TestClipPath(mediagen::clips::kMp4H264Aac));
        ASSERT_GT(probe.pid, 0);
        char line[64] = {};
        const bool played = std::fgets(line, sizeof line, probe.output) != nullptr;
        std::fclose(probe.output);
        EXPECT_EQ(std::string(played ? line : ""), "played\n");
        kill(probe.pid, signal_number);
        const int status = WaitForEnd(probe.pid, 5s);
        ASSERT_NE(status, -1) << "still running 5 s after the signal";
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signal_number);
    }
}

}  // namespace
}  // namespace brenvale::testing

// The window program ended by signals: SIGTERM and Ctrl-C end it after a playback, as they do
// before one (the player must not leave SDL's handlers behind, which turn both into events
// nobody reads); and a kill while rows convert loses nothing of the list.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/version.h"
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

// `state`: the folder of the kept list, when not the user's.
Probe StartProbe(const std::vector<std::string>& arguments, const std::string& state = {}) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return {};
    std::vector<char*> argv{const_cast<char*>(BRENVALE_SIGNAL_PROBE)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        if (!state.empty()) setenv("XDG_STATE_HOME", state.c_str(), 1);
        execv(BRENVALE_SIGNAL_PROBE, argv.data());
        _exit(127);
    }
    close(pipe_ends[1]);
    return Probe{pid, fdopen(pipe_ends[0], "r")};
}

std::string Line(FILE* output) {
    char line[4096] = {};
    return std::fgets(line, sizeof line, output) ? line : "";
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
        Probe probe = StartProbe({TestClipPath(mediagen::clips::kMp4H264Aac)});
        ASSERT_GT(probe.pid, 0);
        const std::string played = Line(probe.output);
        std::fclose(probe.output);
        EXPECT_EQ(played, "played\n");
        kill(probe.pid, signal_number);
        const int status = WaitForEnd(probe.pid, 5s);
        ASSERT_NE(status, -1) << "still running 5 s after the signal";
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signal_number);
    }
}

// The program's own options answer without a window; an unknown one is refused.
TEST(WindowProgram, VersionHelpAndUnknownOptions) {
    const std::string program = BRENVALE_WINDOW_PROGRAM;
    const auto run = [&](const std::string& words, int& status) {
        FILE* pipe = popen((program + " " + words + " 2>&1").c_str(), "r");
        std::string output;
        for (std::string line = Line(pipe); !line.empty(); line = Line(pipe)) output += line;
        status = pclose(pipe);
        return output;
    };
    int status = -1;
    // Answered before the window toolkit starts.
    EXPECT_EQ(run("--version", status), "brenvale (Brenvale) " BRENVALE_VERSION "\n");
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(run("--help", status).rfind("Usage: brenvale", 0), 0u);
    const std::string refused = run("--frobnicate clip.mp4", status);
    EXPECT_NE(refused.find("brenvale: unknown option '--frobnicate'\nTry 'brenvale --help'.\n"), std::string::npos) << refused;
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

// Killed while its second row converts, the program starts again with the list as it was: the
// first row done, the second checked with no outcome, the third unchecked.
TEST(WindowSignals, AKillWhileRowsConvertKeepsTheList) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brenvale-window-kill";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "out");
    const std::string state = (folder / "state").string();
    const std::vector<std::string> files = {TestClipPath(mediagen::clips::kWavPcm),
                                            TestClipPath(mediagen::clips::kMp4H264Aac),
                                            TestClipPath(mediagen::clips::kAviMpeg4Mp3)};
    Probe converting = StartProbe({"--convert", (folder / "out").string(), files[0], files[1], files[2]}, state);
    ASSERT_GT(converting.pid, 0);
    EXPECT_EQ(Line(converting.output), "converting\n");
    kill(converting.pid, SIGKILL);
    std::fclose(converting.output);
    const int status = WaitForEnd(converting.pid, 5s);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    Probe restarted = StartProbe({"--list"}, state);
    std::vector<std::string> rows;
    for (std::string row = Line(restarted.output); !row.empty(); row = Line(restarted.output)) rows.push_back(row);
    std::fclose(restarted.output);
    EXPECT_EQ(WaitForEnd(restarted.pid, 30s), 0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[0].starts_with("1|Done|took ")) << rows[0];
    EXPECT_EQ(rows[1], "1|||" + files[1] + "\n");
    EXPECT_EQ(rows[2], "0|||" + files[2] + "\n");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace brenvale::testing

#include "cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace brenvale::testing {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Only async-signal-safe calls between fork and exec: the test process has threads.
[[noreturn]] void ExecChild(char* const* argv, const char* folder, const char* out, const char* errors) {
    const int out_file = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errors_file = open(errors, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out_file < 0 || errors_file < 0 || chdir(folder) != 0) _exit(127);
    dup2(out_file, STDOUT_FILENO);
    dup2(errors_file, STDERR_FILENO);
    execv(argv[0], argv);
    _exit(127);
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder)
    : out_path_(folder / "cli-stdout.txt"), errors_path_(folder / "cli-stderr.txt") {
    std::vector<std::string> strings = {BRENVALE_CLI_PATH};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : strings) argv.push_back(text.data());
    argv.push_back(nullptr);
    const std::string folder_text = folder.string();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) ExecChild(argv.data(), folder_text.c_str(), out_path_.c_str(), errors_path_.c_str());
}

CliProcess::~CliProcess() {
    if (!reaped_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

std::string CliProcess::ErrorsSoFar() const { return ReadAll(errors_path_); }

bool CliProcess::exited_without_waiting() {
    if (reaped_) return true;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
    return reaped_;
}

bool CliProcess::WaitForErrorText(const std::string& part, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ErrorsSoFar().find(part) != std::string::npos) return true;
        if (exited_without_waiting()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void CliProcess::Signal(int signal_number) const { kill(pid_, signal_number); }

CliResult CliProcess::Wait(std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exited_without_waiting() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const bool timed_out = !reaped_;
    if (timed_out) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
    CliResult result;
    result.exit_status = !timed_out && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    result.out = ReadAll(out_path_);
    result.errors = ReadAll(errors_path_);
    return result;
}

CliResult RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
    return CliProcess(arguments, folder).Wait();
}

}  // namespace brenvale::testing

// Runs the brenvale-cli program as a child process, its output captured in files.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace brenvale::testing {

struct CliResult {
    int exit_status = -1;  // -1 when the child did not exit normally
    std::string out;
    std::string errors;
};

class CliProcess {
public:
    // Starts the program with `arguments` in the working folder `folder`, where its standard
    // output and error are written too.
    CliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Standard error so far.
    std::string ErrorsSoFar() const;
    // Polls until `part` shows on standard error; false after the timeout or when the program ended.
    bool WaitForErrorText(const std::string& part, std::chrono::seconds timeout);
    void Signal(int signal_number) const;
    // Waits for the end (killing the child after the timeout).
    CliResult Wait(std::chrono::seconds timeout = std::chrono::seconds(240));

private:
    bool exited_without_waiting();

    std::filesystem::path out_path_;
    std::filesystem::path errors_path_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
};

// Runs to the end.
CliResult RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& folder);

}  // namespace brenvale::testing

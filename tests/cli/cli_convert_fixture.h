// A folder of its own for each test that runs brenvale-cli over the generated clips, with an
// "out" folder for the outputs.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "cli_process.h"

namespace brenvale {

class CliConvertTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError(); }

    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "-" + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        folder_ = std::filesystem::temp_directory_path() / ("brenvale-cli-" + name);
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "out");
    }
    void TearDown() override {
        if (!HasFailure()) std::filesystem::remove_all(folder_);
    }

    std::string Out(const std::string& name) const { return (folder_ / "out" / name).string(); }
    testing::CliResult Convert(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"--output-folder", (folder_ / "out").string()});
        return testing::RunCli(arguments, folder_);
    }
    std::vector<std::string> OutputFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_ / "out"))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path folder_;
};

}  // namespace brenvale

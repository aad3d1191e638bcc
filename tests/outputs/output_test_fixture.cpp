#include "output_test_fixture.h"

#include <unistd.h>

#include <algorithm>

#include "binding/library_loader.h"
#include "tests/support/test_media.h"

namespace brenvale::testing {

std::string DescribeOptions(const Options& options) {
    std::string text;
    for (const auto& [name, value] : options) text += (text.empty() ? "" : " ") + name + "=" + value;
    return text.empty() ? "none" : text;
}

void OutputTest::SetUp() {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-');
    folder_ = std::filesystem::temp_directory_path() / ("brenvale-outputs-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::create_directories(folder_);
    engine_.prepare_job();
    engine_.on_log = [this](TCustomFFmpeg&, int level, const std::string& message) {
        log_.emplace_back(level, message);
    };
}

void OutputTest::TearDown() {
    engine_.release_job();
    std::filesystem::remove_all(folder_);
    Loader().UnloadLibrarySet(kConverterLibraries);
}

void OutputTest::OpenInput(const char* clip) {
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clip))) << engine_.last_error;
}

void OutputTest::Apply(const Options& options) {
    for (const auto& [name, value] : options) engine_.apply_option(name, value);
}

std::vector<AVMediaType> OutputTest::StreamTypes(int file) const {
    std::vector<AVMediaType> types;
    const AVFormatContext* output = Output(file);
    for (unsigned i = 0; i < output->nb_streams; ++i) types.push_back(output->streams[i]->codecpar->codec_type);
    return types;
}

bool OutputTest::Logged(int level, const std::string& message) const {
    return std::find(log_.begin(), log_.end(), std::make_pair(level, message)) != log_.end();
}

}  // namespace brenvale::testing

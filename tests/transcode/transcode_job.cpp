#include "tests/transcode/transcode_job.h"

#include <unistd.h>

#include "binding/library_loader.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale::testing {

bool JobOutcome::Logged(const std::string& text) const {
    for (const std::string& line : log) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

namespace {

void apply_all(TCustomFFmpeg& engine, const OptionList& options) {
    for (const auto& [name, value] : options) engine.apply_option(name, value);
}

}  // namespace

JobSpec Convert(std::string input, std::string output, OptionList output_options) {
    JobSpec setup;
    setup.input = std::move(input);
    setup.output = std::move(output);
    setup.output_options = std::move(output_options);
    return setup;
}

JobOutcome RunJob(const JobSpec& setup) {
    JobOutcome outcome;
    TCustomFFmpeg engine;
    engine.prepare_job();
    engine.on_log = [&outcome](TCustomFFmpeg&, int level, const std::string& text) {
        outcome.log.push_back(std::to_string(level) + ": " + text);
    };
    engine.on_progress = [&outcome](TCustomFFmpeg&, std::int32_t frame, std::int32_t, std::int32_t, float, float,
                                    std::int64_t, std::int32_t) {
        ++outcome.progress_reports;
        outcome.last_frame_number = frame;
    };
    engine.set_verbose(setup.verbose);
    std::vector<std::string> inputs{setup.input};
    inputs.insert(inputs.end(), setup.further_inputs.begin(), setup.further_inputs.end());
    for (const std::string& input : inputs) {
        apply_all(engine, setup.input_options);
        if (!engine.open_input_file(input)) {
            outcome.exception_message = engine.last_error;
            return outcome;
        }
    }
    apply_all(engine, setup.output_options);
    if (engine.open_output_file(setup.output) < 0) {
        outcome.exception_message = engine.last_error;
        return outcome;
    }
    outcome.opened = true;
    if (setup.before_start) setup.before_start(engine);
    engine.start(false);
    outcome.finished = engine.finished;
    outcome.exception_raised = engine.exception_raised;
    if (engine.exception_raised) outcome.exception_message = engine.exception_message;
    return outcome;
}

std::vector<std::int64_t> StreamStarts(const std::string& path) {
    std::vector<std::int64_t> starts;
    AVFormatContext* input = nullptr;
    if (OpenLibraryInput(&input, ToLibraryName(path), nullptr, nullptr) < 0) return starts;
    if (ff::avformat_find_stream_info(input, nullptr) >= 0) {
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVStream* stream = input->streams[i];
            starts.push_back(stream->start_time == AV_NOPTS_VALUE
                                 ? -1
                                 : ff::av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q));
        }
    }
    CloseLibraryInput(&input);
    return starts;
}

void TranscodeTest::SetUp() {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    ff::av_log_set_level(AV_LOG_QUIET);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    folder_ =
        std::filesystem::temp_directory_path() / ("brenvale-transcode-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::create_directories(folder_);
}

void TranscodeTest::TearDown() {
    std::filesystem::remove_all(folder_);
    Loader().UnloadLibrarySet(kConverterLibraries);
}

}  // namespace brenvale::testing

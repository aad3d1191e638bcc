// An engine prepared with the real libraries, whose log lines and library log lines are kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale::testing {

inline std::mutex library_log_mutex;
inline std::vector<std::string> library_log_lines;

inline void CaptureLibraryLog(void*, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_WARNING) return;
    char line[1024];
    std::vsnprintf(line, sizeof line, format, arguments);
    std::lock_guard<std::mutex> lock(library_log_mutex);
    library_log_lines.emplace_back(line);
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_callback(CaptureLibraryLog);
        library_log_lines.clear();
        engine_.prepare_job();
        engine_.on_log = [this](TCustomFFmpeg&, int level, const std::string& message) {
            log_.emplace_back(level, message);
        };
    }
    void TearDown() override { ff::av_log_set_callback(ff::av_log_default_callback); }

    void Apply(const std::vector<std::pair<std::string, std::string>>& options) {
        for (const auto& [name, value] : options) engine_.apply_option(name, value);
    }

    TCustomFFmpeg engine_;
    std::vector<std::pair<int, std::string>> log_;
};

}  // namespace brenvale::testing

// An engine prepared for calling its frame hooks and preview directly, with its log captured.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "engine/custom_ffmpeg.h"
#include "tests/hooks/test_pictures.h"

namespace brenvale::testing {

class HookFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_level(AV_LOG_QUIET);
        engine_ = std::make_unique<TCustomFFmpeg>();
        engine_->prepare_job();
        engine_->on_log = [this](TCustomFFmpeg&, int level, const std::string& text) {
            log_.push_back(std::to_string(level) + ": " + text);
        };
    }
    void TearDown() override {
        engine_.reset();
        Loader().UnloadLibrarySet(kConverterLibraries);
    }

    std::unique_ptr<TCustomFFmpeg> engine_;
    std::vector<std::string> log_;
};

}  // namespace brenvale::testing

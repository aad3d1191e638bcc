#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine_test_files.h"

namespace brenvale {
namespace {

struct TableCase {
    const char* name;
    int limit;
    std::function<void(TCustomFFmpeg&)> add;
    std::function<int(const TCustomFFmpeg&)> count;
    const char* message;
};

class EngineTablesTest : public EngineFilesTest {};

TEST_F(EngineTablesTest, EveryTableTakesItsLimitAndRefusesOneMore) {
    const TableCase cases[] = {
        {"inputs", MAX_FILES,
         [this](TCustomFFmpeg& engine) {
             AVFormatContext* input = OpenInput("input.wav");
             try {
                 engine.add_input_file(input);
             } catch (const FFmpegException&) {
                 CloseLibraryInput(&input);  // refused: still the caller's
                 throw;
             }
         },
         [](const TCustomFFmpeg& engine) { return engine.input_file_count; }, "Too many input files (at most 20)"},
        {"outputs", MAX_FILES,
         [](TCustomFFmpeg& engine) {
             AVFormatContext* output = nullptr;
             ASSERT_GE(ff::avformat_alloc_output_context2(&output, nullptr, "wav", nullptr), 0);
             try {
                 engine.add_output_file(output);
             } catch (const FFmpegException&) {
                 ff::avformat_free_context(output);
                 throw;
             }
         },
         [](const TCustomFFmpeg& engine) { return engine.output_file_count; }, "Too many output files (at most 20)"},
        {"input codecs", MAX_CODECS, [](TCustomFFmpeg& engine) { engine.add_input_codec(nullptr); },
         [](const TCustomFFmpeg& engine) { return engine.input_codec_count; }, "Too many input streams (at most 400)"},
        {"output codecs", MAX_CODECS, [](TCustomFFmpeg& engine) { engine.add_output_codec(nullptr); },
         [](const TCustomFFmpeg& engine) { return engine.output_codec_count; },
         "Too many output streams (at most 400)"},
        {"stream maps", MAX_STREAM_MAPS, [](TCustomFFmpeg& engine) { engine.add_stream_map(TStreamMap{0, 1, 0, 1}); },
         [](const TCustomFFmpeg& engine) { return engine.stream_map_count; }, "Too many stream maps (at most 400)"},
        {"metadata maps", MAX_FILES, [](TCustomFFmpeg& engine) { engine.add_metadata_map(TMetadataMap{0, 0}); },
         [](const TCustomFFmpeg& engine) { return engine.metadata_map_count; }, "Too many metadata maps (at most 20)"},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        TCustomFFmpeg engine;
        engine.prepare_job();
        for (int i = 0; i < c.limit; ++i) ASSERT_NO_THROW(c.add(engine)) << "entry " << i;
        EXPECT_EQ(c.count(engine), c.limit);
        try {
            c.add(engine);
            ADD_FAILURE() << "entry " << c.limit << " was taken";
        } catch (const FFmpegException& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
        EXPECT_EQ(c.count(engine), c.limit);
    }
}

}  // namespace
}  // namespace brenvale

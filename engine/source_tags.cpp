#include "engine/source_tags.h"

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {
namespace {

struct TTagName {
    const char* generic;
    const char* older;  // the name older writers used; nullptr when none
};

constexpr TTagName kDescriptiveTags[] = {
    {"title", nullptr},   {"artist", "author"}, {"album_artist", nullptr}, {"album", nullptr},
    {"composer", nullptr}, {"date", "year"},    {"track", nullptr},        {"disc", nullptr},
    {"genre", nullptr},   {"comment", nullptr}, {"copyright", nullptr},
};

const char* tag_value(const AVDictionary* tags, const char* key) {
    const AVDictionaryEntry* entry = key ? ff::av_dict_get(tags, key, nullptr, 0) : nullptr;
    return entry && *entry->value ? entry->value : nullptr;
}

}  // namespace

void copy_source_tags(const TCustomFFmpeg& engine, AVFormatContext* output) {
    if (engine.input_file_count == 0) return;
    const AVDictionary* source = engine.input_files[0]->metadata;
    for (const TTagName& name : kDescriptiveTags) {
        const char* value = tag_value(source, name.generic);
        if (!value) value = tag_value(source, name.older);
        if (value) ff::av_dict_set(&output->metadata, name.generic, value, 0);
    }
}

}  // namespace brenvale

// What the frame hooks and the preview share inside the engine.
#pragma once

#include <exception>
#include <string>

#include "common/picture_converter.h"

struct AVFrame;

namespace brenvale {

class TCustomFFmpeg;

inline constexpr char kToRgbFailure[] = "Cannot initialize the toRGB conversion context";

// on_log at level 0 when it is bound.
void log_warning(TCustomFFmpeg& engine, const std::string& message);

// Runs an event handler of the owner. An exception it raises is logged as `prefix` followed by
// its message and never goes further; false then.
template <class Handler>
bool call_handler(TCustomFFmpeg& engine, const char* prefix, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        log_warning(engine, prefix + std::string(error.what()));
    } catch (...) {
        log_warning(engine, prefix + std::string("Unknown error"));
    }
    return false;
}

// The picture's planes in its own format and size; valid while the frame keeps them.
TPictureRef picture_ref(const AVFrame& picture);

}  // namespace brenvale

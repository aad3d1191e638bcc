// What the three stream creators share: the choice of the encoder and the stream being
// described before it is added to its output.
#pragma once

#include <string>

#include "binding/media_api.h"

namespace brenvale {

class TBitstreamFilterChain;
class TCustomFFmpeg;
struct TOutputStreamSetup;

struct TEncoderChoice {
    const AVCodec* named = nullptr;    // the encoder a codec name chose: the output_codecs entry
    const AVCodec* encoder = nullptr;  // named or guessed; may be null
    AVCodecID codec_id = AV_CODEC_ID_NONE;
};

// Raises FFmpegException with find_codec's text when the name fits no encoder of the type.
TEncoderChoice choose_named_encoder(TCustomFFmpeg& engine, const std::string& name, AVMediaType type);
// Without a name the format's choice for the output's file name decides.
TEncoderChoice choose_encoder(TCustomFFmpeg& engine, const AVFormatContext* context, const std::string& name,
                              AVMediaType type);

// A stream being described in the setup slot of the stream it becomes. Everything that can
// fail happens before add_to; the slot is emptied again unless the stream was added, so a
// failed creation leaves the output as it was.
class TStreamDraft {
public:
    // Raises FFmpegException when the output holds MAX_STREAMS streams already.
    TStreamDraft(TCustomFFmpeg& engine, const AVFormatContext* context, const TEncoderChoice& choice,
                 AVMediaType type);
    ~TStreamDraft();
    TStreamDraft(const TStreamDraft&) = delete;
    TStreamDraft& operator=(const TStreamDraft&) = delete;

    AVCodecContext* codec() const;
    void mark_copied();
    // The generic options of the type's holder that carry `type_flag` and the encoding flag.
    void apply_generic_options(AVMediaType type, int type_flag);
    // Sets the flags on the context and on the type's holder, so that a generic "flags" option
    // copied from the holder later keeps them.
    void add_header_flags(AVMediaType type, int flags, int flags2);
    // Adds the stream; the pending filters and the encoder entry go to it.
    void add_to(AVFormatContext* context, TBitstreamFilterChain& pending_filters, const std::string& language);

private:
    TCustomFFmpeg& engine_;
    TOutputStreamSetup& setup_;
    const AVCodec* named_encoder_;
    bool added_ = false;
};

bool format_wants_global_header(const AVFormatContext* context);

}  // namespace brenvale

// One conversion run of an engine: set-up, packet loop, encoding paths and progress report.
// Created by TCustomFFmpeg::transcode on the job's worker thread and used only there.
//
// Threads: while the packet loop runs, each input file is read and decoded on a read-ahead
// thread of its own (TReadAhead, TPacketDecoder), a bounded distance ahead of the loop. The
// job's thread takes the decoded packets in the order they were read and does everything else:
// the input choice, hooks, previews, sync, filters, scaling, encoding, writing, reports, stop and
// pause. The transcoder takes no lock of its own; the read-ahead queue's mutex is the only one
// between the two, and nothing else is locked while it is held. Before the decoders are drained
// at the end, the read-ahead threads are stopped and the decoders are the job thread's again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <deque>
#include <vector>

#include "engine/library_ptr.h"
#include "engine/packet_decoder.h"
#include "engine/read_ahead.h"
#include "engine/transcode_tables.h"
#include "engine/video_sync.h"

struct AVCodec;
struct AVCodecParameters;
struct AVFormatContext;
struct AVPacket;
struct AVSubtitle;

namespace brenvale {

class TCustomFFmpeg;

class TTranscoder {
public:
    explicit TTranscoder(TCustomFFmpeg& engine);
    ~TTranscoder();
    TTranscoder(const TTranscoder&) = delete;
    TTranscoder& operator=(const TTranscoder&) = delete;

    // Raises FFmpegException with the run's messages; the codecs it opened stay in the
    // engine's open-codec lists for `run` to close.
    void transcode();

private:
    // ---- Set-up (transcode_setup.cpp, stream_mapping.cpp, codec_setup.cpp)
    void set_up();
    void build_input_tables();
    void check_output_files();
    void build_output_table();
    void check_stream_maps() const;
    int source_without_map(const OutputStream& ost) const;
    int find_program_stream(int program_id, int media_type) const;
    // Covers feed only covers, and video only video.
    int find_unmapped_stream(int media_type, bool cover) const;
    [[noreturn]] void fail_mapping(int file, const std::string& message) const;
    void set_up_codec(OutputStream& ost, int number);
    void set_up_stream_copy(OutputStream& ost);
    void set_up_audio_encoding(OutputStream& ost);
    void set_up_video_encoding(OutputStream& ost);
    void allocate_scaled_picture(OutputStream& ost);
    void create_scaler(OutputStream& ost, const AVCodecParameters& dec);
    // False with last_error set when the stream's filter chain cannot be built (video_filters.cpp).
    bool configure_filters(InputStream& ist, OutputStream& ost);
    void read_sws_flags();
    void set_up_pass_log(OutputStream& ost, int number);
    void print_stream_mapping() const;
    void open_encoders();
    void copy_subtitle_header(OutputStream& ost);
    void open_encoder(OutputStream& ost, const AVCodec* codec);
    void open_decoders();
    void map_metadata();
    void write_headers();
    void print_sdp() const;

    // ---- Packet loop (transcode_loop.cpp)
    void run_packet_loop();
    void start_decoding();
    // Decoding runs ahead of the loop unless the run may end where its outputs would still take
    // frames the decoder made of packets the loop has not reached.
    bool decodes_ahead() const;
    TDecodedPacket next_packet(int file);
    void stop_decoding_ahead();
    int choose_input_file(double& output_time_min) const;
    bool limits_reached(double output_time_min) const;
    void finish_run();
    void flush_bitstream_filters(OutputStream& ost);
    void write_trailers();
    // Empties the local outputs of a stopped run that got no packet.
    void empty_outputs_without_packets() const;

    // ---- The part of the input an output takes (recording_window.cpp)
    bool before_start(const InputStream& ist) const;
    // For stream copy: the input has passed the recording time.
    bool past_recording_time(const InputStream& ist) const;
    // The first position past the recording time, in `time_base`; the largest value without one.
    std::int64_t recording_end(AVRational time_base) const;

    // ---- Delivery of decoded packets (process_packet.cpp, stream_copy.cpp)
    // False when decoding failed (the packet is then not counted for the report).
    bool deliver_packet(TDecodedPacket& decoded);
    void deliver_unit(InputStream& ist, int ist_number, const AVPacket* packet, TDecodedUnit& unit);
    // The end of a decoded stream's input: the decoder's last frames, filters and encoders drained.
    void end_input_stream(int ist_number);
    void copy_rounds(InputStream& ist, int ist_number, const AVPacket& packet);
    void deliver(InputStream& ist, int ist_number, const AVPacket* packet, const AVSubtitle* subtitle);
    void encode_outputs(InputStream& ist, int ist_number, const AVPacket* packet, const AVSubtitle* subtitle);
    void encode_for(OutputStream& ost, InputStream& ist, const AVSubtitle* subtitle, const AVPacket* packet);
    void copy_packet(OutputStream& ost, InputStream& ist, const AVPacket& packet);
    void copy_cover(int ist_number, const AVPacket& packet);
    void emulate_rate(const InputStream& ist) const;
    void flush_encoders(int ist_number);

    // ---- Filtering (video_filters.cpp)
    void filter_picture(InputStream& ist, int ist_number);
    void deliver_filtered(InputStream& ist, int ist_number);
    void drain_filters(InputStream& ist, int ist_number);

    // ---- Encoding (encode_audio.cpp, encode_video.cpp, encode_subtitle.cpp)
    void encode_audio(OutputStream& ost, InputStream& ist, const std::uint8_t* data, int size);
    bool sync_audio(OutputStream& ost, InputStream& ist, const std::uint8_t*& data, int& size);
    // How many of `samples` (the next ones of the output) come before the recording end; none
    // finishes the stream.
    int samples_before_recording_end(OutputStream& ost, int samples);
    void open_audio_resampler(OutputStream& ost);
    void queue_audio(OutputStream& ost, const std::uint8_t* data, int size);
    // A frame of `frame_samples` whose first `samples` come from `data`, the rest silence.
    void encode_audio_frame(OutputStream& ost, const std::uint8_t* data, int samples, int frame_samples);
    void flush_audio_encoder(OutputStream& ost);
    void encode_video(OutputStream& ost, InputStream& ist, AVFrame& picture, int& frame_size);
    TVideoSyncDecision video_copies(OutputStream& ost, const InputStream& ist);
    // The picture as the encoder takes it: cropped, scaled and padded. False when it is dropped.
    bool format_picture(OutputStream& ost, AVFrame& picture, FramePtr& final_picture);
    void scale_picture(OutputStream& ost, const AVFrame& source);
    int encode_picture(OutputStream& ost, const InputStream& ist, const AVFrame& final_picture,
                       const AVFrame& input_picture);
    void encode_subtitle(OutputStream& ost, InputStream& ist, const AVSubtitle& subtitle, std::int64_t pts);
    // Sends a frame (null: the end) and writes every packet the encoder returns; the bytes.
    int drain_encoder(OutputStream& ost, const AVFrame* frame, const char* failure);
    void take_coded_frame(OutputStream& ost, const AVPacket& packet);

    // ---- Writing (write_packet.cpp)
    void write_packet(OutputStream& ost, AVPacket& packet);
    void filter_and_write(OutputStream& ost, std::size_t filter, AVPacket& packet);
    void drain_filter(OutputStream& ost, std::size_t filter);
    void report_filter_failure(const OutputStream& ost, AVBSFContext* filter, int result) const;
    void mux_packet(OutputStream& ost, AVPacket& packet);
    void init_bitstream_filters(OutputStream& ost);

    // ---- Report (progress_report.cpp, video_stats.cpp)
    void report_progress(bool last);
    std::string qp_histogram_text(const OutputStream& ost);
    std::string psnr_text(const OutputStream& ost, bool last) const;
    void log_summary(std::int64_t total_size) const;
    void write_video_stats(OutputStream& ost, int frame_size);

    void log(int level, const std::string& message) const;
    std::int64_t input_time_us(const OutputStream& ost) const;
    AVFormatContext* output_file(const OutputStream& ost) const;

    TCustomFFmpeg& engine_;
    std::vector<InputFile> input_files_;
    std::deque<InputStream> input_streams_;  // records stay where they are
    std::deque<OutputStream> output_streams_;

    std::vector<std::unique_ptr<TPacketDecoder>> decoders_;  // one per input file
    std::vector<std::unique_ptr<TReadAhead>> read_ahead_;    // after them: stopped first

    // Work buffers, reused across packets; each holds at most one decoded frame's audio.
    std::vector<std::uint8_t> samples_;
    std::vector<std::uint8_t> audio_buf_;
    std::vector<std::uint8_t> silence_buffer_;
    PacketPtr encoded_;
    FramePtr decoded_;
};

}  // namespace brenvale

// One muxed output file: its format context and its I/O, closed together.
#pragma once

#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVPacket;
struct AVRational;
struct AVStream;

namespace brenvale::mediagen {

class OutputFile {
public:
    // `format` is a muxer name, `path` a UTF-8 file name.
    OutputFile(const std::string& format, const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the filled-in encoder for this format and adds its stream; every stream must
    // exist before WriteHeader.
    AVStream* AddEncodedStream(AVCodecContext* encoder);
    // Packets are stored in the order they are written instead of interleaved by time.
    void KeepWriteOrder() { interleave_ = false; }
    // A container tag; every tag must be set before WriteHeader.
    void SetTag(const std::string& key, const std::string& value);
    void WriteHeader();
    // Takes the packet's reference; its times are in `time_base` until written.
    void WritePacket(AVPacket* packet, const AVStream* stream, const AVRational& time_base);
    void Finish();

private:
    AVFormatContext* context_ = nullptr;
    std::string path_;
    bool interleave_ = true;
};

}  // namespace brenvale::mediagen

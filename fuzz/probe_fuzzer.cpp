// The probe on arbitrary bytes as a file: LoadFile and every description it offers.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "probe/av_probe.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    brenvale::fuzz::LoadLibrariesOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    brenvale::TAVProbe probe;
    if (!probe.LoadFile(brenvale::fuzz::WriteScratchFile(data, size))) return 0;
    brenvale::TFileStreamInfo file_info;
    probe.GetFileStreamInfo(file_info);
    brenvale::TVideoStreamInfo video_info;
    probe.GetVideoStreamInfo(video_info);
    for (int index = 0; index < probe.StreamCount(); ++index) probe.GetVideoStreamInfo(index, video_info);
    return 0;
}

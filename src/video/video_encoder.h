// A video file made of RGBA pictures through FFmpeg's libraries: H.264
// (libx264), or VP9 (libvpx) in a WebM file or where H.264 is missing, in the
// container the file name asks for (.mp4, .mkv, .webm), the pictures scaled
// to the video's size and stamped with their own times, so a drive whose
// frame times vary plays at its own pace. The bytes go to a stream the caller
// owns (a temporary file), which must be seekable: MP4 writes its index last.
//
// Shortcomings: no sound; a picture is stretched to the size asked, its
// aspect ratio not kept; quality is fixed (constant quality, near
// transparent for H.264, lower for VP9, whose fast mode is used); a picture
// is in BT.601 colours, limited range, as players assume for this size.
//
// The encoder is a program module (libtorvane-video.so, core/program_module.h)
// loaded by the first open: a program that makes no video never maps FFmpeg's
// libraries, which are many.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace torvane {

struct FrameSize {
    int width = 0;  // pixels
    int height = 0; // pixels
};

class VideoEncoder {
public:
    // Starts a video named name (only its extension counts) written to file,
    // made of pictures of size source scaled to size (both even), played at
    // about framesPerSecond; nothing, with error set, when no codec or
    // container fits, the header cannot be written or the encoder module cannot be loaded.
    static std::unique_ptr<VideoEncoder> open(std::FILE* file, const std::string& name, FrameSize source,
                                              FrameSize size, double framesPerSecond, std::string& error);
    virtual ~VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The codec chosen, "libx264" or "libvpx-vp9".
    virtual std::string codecName() const = 0;
    // Adds one picture (source size, 4 bytes a pixel, row 0 at the top) shown
    // from seconds after the first; false, with error set, when encoding or writing failed.
    virtual bool addPicture(const std::uint8_t* rgba, double seconds, std::string& error) = 0;
    // Encodes what the codec holds back and writes the container's end; false, with error set, on failure.
    virtual bool finish(std::string& error) = 0;

protected:
    VideoEncoder() = default;
};

// The encoder module's function behind VideoEncoder::open: the encoder it
// made, owned by the caller, or nullptr.
using OpenVideoEncoder = VideoEncoder* (*)(std::FILE* file, const std::string& name, FrameSize source, FrameSize size,
                                           double framesPerSecond, std::string& error);
inline constexpr const char* kVideoModule = "libtorvane-video.so";

} // namespace torvane

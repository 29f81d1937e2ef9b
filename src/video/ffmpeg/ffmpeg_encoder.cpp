// The video encoder module (libtorvane-video.so): VideoEncoder through
// FFmpeg's encoders, scaler and containers.
#include "video/video_encoder.h"

#include <algorithm>
#include <cmath>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace torvane {
namespace {

constexpr int kTicksPerSecond = 90000; // the time stamps' unit, as MPEG counts
constexpr int kBufferBytes = 1 << 16;

std::string ffmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
int writeBytes(void* opaque, const std::uint8_t* bytes, int count)
#else
int writeBytes(void* opaque, std::uint8_t* bytes, int count)
#endif
{
    const auto wanted = static_cast<std::size_t>(count);
    return std::fwrite(bytes, 1, wanted, static_cast<std::FILE*>(opaque)) == wanted ? count : AVERROR(EIO);
}

std::int64_t seekBytes(void* opaque, std::int64_t offset, int whence)
{
    auto* file = static_cast<std::FILE*>(opaque);
    if (whence == AVSEEK_SIZE) {
        const off_t here = ftello(file);
        if (here < 0 || fseeko(file, 0, SEEK_END) != 0) {
            return AVERROR(EIO);
        }
        const off_t size = ftello(file);
        return fseeko(file, here, SEEK_SET) == 0 ? size : AVERROR(EIO);
    }
    if (fseeko(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE) != 0) {
        return AVERROR(EIO);
    }
    return ftello(file);
}

// The codec for a container: H.264 unless the container is WebM or libx264 is missing, then VP9.
const AVCodec* chooseCodec(const AVOutputFormat* format)
{
    const bool webm = std::string_view(format->name) == "webm";
    const AVCodec* codec = webm ? nullptr : avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        codec = avcodec_find_encoder_by_name("libvpx-vp9");
    }
    return codec != nullptr && avformat_query_codec(format, codec->id, FF_COMPLIANCE_NORMAL) == 1 ? codec : nullptr;
}

struct State {
    AVFormatContext* container = nullptr;
    AVIOContext* output = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    FrameSize source;
    std::int64_t lastStamp = -1;
    std::int64_t frameTicks = 1; // a picture's nominal duration, for the last one's

    ~State()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&picture);
        avcodec_free_context(&codec);
        if (output != nullptr) {
            av_freep(&output->buffer);
            avio_context_free(&output);
        }
        avformat_free_context(container);
    }

    // Sends picture (null: the end) and writes every packet the codec gives back; 0 or an FFmpeg error.
    int encode(const AVFrame* frame)
    {
        int result = avcodec_send_frame(codec, frame);
        while (result >= 0) {
            result = avcodec_receive_packet(codec, packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
                return 0;
            }
            if (result >= 0) {
                packet->duration = packet->duration > 0 ? packet->duration : frameTicks;
                av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
                packet->stream_index = stream->index;
                result = av_interleaved_write_frame(container, packet);
            }
        }
        return result;
    }
};

class FfmpegEncoder final : public VideoEncoder {
public:
    explicit FfmpegEncoder(std::unique_ptr<State> parts) : state(std::move(parts)) {}

    std::string codecName() const override;
    bool addPicture(const std::uint8_t* rgba, double seconds, std::string& error) override;
    bool finish(std::string& error) override;

private:
    std::unique_ptr<State> state;
};

VideoEncoder* openEncoder(std::FILE* file, const std::string& name, FrameSize source, FrameSize size,
                          double framesPerSecond, std::string& error)
{
    av_log_set_level(AV_LOG_ERROR);
    const AVOutputFormat* format = av_guess_format(nullptr, name.c_str(), nullptr);
    if (format == nullptr) {
        error = "extension inconnue : .mp4, .mkv ou .webm";
        return nullptr;
    }
    const AVCodec* codec = chooseCodec(format);
    if (codec == nullptr) {
        error = std::string("ni H.264 (libx264) ni VP9 (libvpx) pour le format ") + format->name;
        return nullptr;
    }
    auto state = std::make_unique<State>();
    State& s = *state;
    s.source = source;
    int result = avformat_alloc_output_context2(&s.container, format, nullptr, nullptr);
    s.codec = avcodec_alloc_context3(codec);
    s.picture = av_frame_alloc();
    s.packet = av_packet_alloc();
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    s.output = buffer == nullptr ? nullptr : avio_alloc_context(buffer, kBufferBytes, 1, file, nullptr, writeBytes, seekBytes);
    if (s.output == nullptr) {
        av_free(buffer);
    }
    s.scaler = sws_getContext(source.width, source.height, AV_PIX_FMT_RGBA, size.width, size.height,
                              AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (result < 0 || !s.codec || !s.picture || !s.packet || !s.output || !s.scaler) {
        error = "mémoire insuffisante pour l'encodeur";
        return nullptr;
    }
    s.codec->width = size.width;
    s.codec->height = size.height;
    s.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    s.codec->time_base = AVRational{1, kTicksPerSecond};
    s.codec->framerate = av_d2q(framesPerSecond, 1000);
    s.frameTicks = std::max<std::int64_t>(1, std::llround(kTicksPerSecond / framesPerSecond));
    s.codec->color_range = AVCOL_RANGE_MPEG;
    s.codec->colorspace = AVCOL_SPC_SMPTE170M;
    if ((format->flags & AVFMT_GLOBALHEADER) != 0) {
        s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    AVDictionary* settings = nullptr;
    const bool h264 = codec->id == AV_CODEC_ID_H264;
    av_dict_set(&settings, h264 ? "preset" : "deadline", h264 ? "veryfast" : "realtime", 0);
    av_dict_set(&settings, h264 ? "crf" : "cpu-used", h264 ? "18" : "8", 0);
    if (!h264) {
        av_dict_set(&settings, "crf", "20", 0);
        s.codec->bit_rate = 0;
    }
    result = avcodec_open2(s.codec, codec, &settings);
    av_dict_free(&settings);
    s.stream = result < 0 ? nullptr : avformat_new_stream(s.container, nullptr);
    if (s.stream != nullptr) {
        s.stream->time_base = s.codec->time_base;
        result = avcodec_parameters_from_context(s.stream->codecpar, s.codec);
    }
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = size.width;
    s.picture->height = size.height;
    if (result >= 0 && s.stream != nullptr) {
        result = av_frame_get_buffer(s.picture, 0);
    }
    if (result >= 0 && s.stream != nullptr) {
        s.container->pb = s.output;
        s.container->flags |= AVFMT_FLAG_CUSTOM_IO;
        result = avformat_write_header(s.container, nullptr);
    }
    if (result < 0 || s.stream == nullptr) {
        error = std::string("l'encodeur ") + codec->name + " refuse : " + ffmpegError(result);
        return nullptr;
    }
    return new FfmpegEncoder(std::move(state));
}

std::string FfmpegEncoder::codecName() const
{
    return state->codec->codec->name;
}

bool FfmpegEncoder::addPicture(const std::uint8_t* rgba, double seconds, std::string& error)
{
    State& s = *state;
    int result = av_frame_make_writable(s.picture);
    if (result >= 0) {
        const std::uint8_t* rows[1] = {rgba};
        const int strides[1] = {4 * s.source.width};
        sws_scale(s.scaler, rows, strides, 0, s.source.height, s.picture->data, s.picture->linesize);
        // Stamps only ever grow: a frame of no time still shows, one tick long.
        const auto stamp = static_cast<std::int64_t>(std::llround(seconds * kTicksPerSecond));
        s.lastStamp = stamp > s.lastStamp ? stamp : s.lastStamp + 1;
        s.picture->pts = s.lastStamp;
        result = s.encode(s.picture);
    }
    if (result < 0) {
        error = "encodage : " + ffmpegError(result);
        return false;
    }
    return true;
}

bool FfmpegEncoder::finish(std::string& error)
{
    State& s = *state;
    int result = s.encode(nullptr);
    if (result >= 0) {
        result = av_write_trailer(s.container);
    }
    avio_flush(s.output);
    if (result < 0 || s.output->error < 0) {
        error = "fin de la vidéo : " + ffmpegError(result < 0 ? result : s.output->error);
        return false;
    }
    return true;
}

} // namespace
} // namespace torvane

// VideoEncoder::open's function (OpenVideoEncoder).
extern "C" torvane::VideoEncoder* torvaneOpenVideoEncoder(std::FILE* file, const std::string& name,
                                                         torvane::FrameSize source, torvane::FrameSize size,
                                                         double framesPerSecond, std::string& error)
{
    return torvane::openEncoder(file, name, source, size, framesPerSecond, error);
}

#include "recording/recording_writer.h"

#include <sys/file.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "recording/recording.h"
#include "recording/recording_codec.h"
#include "recording/recording_folder.h"

namespace torvane {
namespace {

// Frames the buffer holds: over two minutes at 60 frames a second.
constexpr std::size_t kBufferedFrames = 8192;
// The writing thread writes what it has at least this often, in chunks of at
// most about two seconds at 60 frames a second: a cut file loses little.
constexpr auto kWritePeriod = std::chrono::milliseconds(500);
constexpr std::uint32_t kFramesPerChunk = 120;
// Names tried when games started together keep taking the one just looked up.
constexpr int kNameAttempts = 100;

struct BufferedFrame {
    RecordedFrame frame;
    bool hashed = false;
    bool keyframed = false; // its state is in the keyframe ring
    std::uint64_t hash = 0;
};

} // namespace

struct RecordingWriter::Shared {
    std::string path;     // the target; the file is path + ".part" until finished
    std::string partPath; // where the file is now
    bool ownName = false; // the name is the writer's own: it never replaces another file
    std::int64_t startTime = 0;
    std::FILE* file = nullptr;
    std::uint32_t hashEvery = kStateHashEvery;
    std::uint32_t keyframeEvery = kKeyframeEvery;

    std::array<BufferedFrame, kBufferedFrames> frames;
    // The states of the keyframed frames among them, one every keyframeEvery
    // frames: the frames a full buffer holds have at most this many, so a slot
    // is written again only once its frame was taken. Sized at the start.
    std::vector<Keyframe> keyframes;
    std::atomic<std::uint64_t> published{0}; // frames the loop added
    std::atomic<std::uint64_t> consumed{0};  // frames the thread took
    std::atomic<int> fault{static_cast<int>(RecordingFault::None)};

    std::mutex mutex; // guards what follows; never held while writing
    std::condition_variable wake;
    bool stopping = false;
    std::deque<std::string> carTexts;
    std::string keptPath; // empty: no keep asked since the last move

    std::thread thread;
    std::uint32_t written = 0; // frames in the file (writing thread only)

    void setFault(RecordingFault value)
    {
        int none = static_cast<int>(RecordingFault::None);
        fault.compare_exchange_strong(none, static_cast<int>(value));
    }
    bool writing() const { return fault.load() == static_cast<int>(RecordingFault::None) && file != nullptr; }

    // Writes bytes and flushes; on failure stops writing for good, noting why.
    bool put(const std::string& bytes)
    {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0) {
            return true;
        }
        setFault(errno == ENOSPC ? RecordingFault::DiskFull : RecordingFault::WriteFailed);
        return false;
    }

    // Moves the file (still being written) to where the player kept it.
    void moveToKept(const std::string& kept)
    {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(kept).parent_path(), error);
        const std::string landed = land(partPath, kept + kPartExtension);
        if (landed.empty()) {
            return;
        }
        partPath = landed;
        std::lock_guard lock(mutex);
        path = landed.substr(0, landed.size() - std::string_view(kPartExtension).size());
    }

    // Renames from to target; with a name of its own, to a free name beside
    // target when target is taken. Where it landed; empty when it could not move.
    std::string land(const std::string& from, const std::string& target) const
    {
        if (!ownName) {
            std::error_code error;
            std::filesystem::rename(from, target, error);
            return error ? std::string() : target;
        }
        return renameToFreeName(from, target, startTime);
    }

    // The keyframe slot of the frame-th frame added (counted from 1), a keyframed one.
    Keyframe& keyframeOf(std::uint64_t frame) { return keyframes[(frame / keyframeEvery) % keyframes.size()]; }

    // Encodes and writes every frame published so far, in chunks.
    void drain()
    {
        const std::uint64_t upTo = published.load(std::memory_order_acquire);
        std::uint64_t next = consumed.load(std::memory_order_relaxed);
        std::string raw;
        while (next < upTo) {
            raw.clear();
            ByteWriter out(raw);
            const std::uint32_t first = written + 1;
            std::uint32_t count = 0;
            for (; next < upTo && count < kFramesPerChunk; ++next, ++count) {
                const BufferedFrame& buffered = frames[next % kBufferedFrames];
                std::string text;
                if ((buffered.frame.events & kEventCarReloaded) != 0) {
                    std::lock_guard lock(mutex);
                    text = std::move(carTexts.front());
                    carTexts.pop_front();
                }
                writeFrameRecord(out, buffered.frame, &text, buffered.hashed ? &buffered.hash : nullptr,
                                 buffered.keyframed ? &keyframeOf(next + 1) : nullptr);
            }
            consumed.store(next, std::memory_order_release);
            if (writing() && put(encodeChunk(first, count, raw))) {
                written += count;
            }
        }
    }

    void run()
    {
        for (;;) {
            std::string kept;
            bool stop = false;
            {
                std::unique_lock lock(mutex);
                wake.wait_for(lock, kWritePeriod, [this] {
                    return stopping || !keptPath.empty()
                           || published.load(std::memory_order_acquire) - consumed.load() >= kBufferedFrames / 4;
                });
                kept = std::move(keptPath);
                keptPath.clear();
                stop = stopping;
            }
            if (!kept.empty()) {
                moveToKept(kept);
            }
            drain();
            if (stop) {
                return;
            }
        }
    }
};

std::unique_ptr<RecordingWriter> RecordingWriter::start(const std::string& path, const RecordingHeader& header,
                                                        std::string& error, RecordingName naming)
{
    auto shared = std::make_unique<Shared>();
    shared->ownName = naming == RecordingName::NewInFolder;
    shared->startTime = header.startTime;
    shared->hashEvery = header.stateHashEvery;
    shared->keyframeEvery = header.keyframeEvery;
    shared->keyframes.resize(kBufferedFrames / header.keyframeEvery + 1);
    // Another game may take the name between the look and the create: then the next free one.
    for (int attempt = 0; attempt < kNameAttempts && shared->file == nullptr; ++attempt) {
        shared->path = shared->ownName ? newRecordingPath(path, header.startTime) : path;
        shared->partPath = shared->path + kPartExtension;
        shared->file = std::fopen(shared->partPath.c_str(), "wbx");
        if (!shared->ownName || errno != EEXIST) {
            break;
        }
    }
    if (shared->file == nullptr) {
        error = shared->partPath + ": cannot be created";
        return nullptr;
    }
    // Held while the file is written: the next start renames only the .part files no game holds.
    // Waited for, before the first byte: a game starting meanwhile holds it only to see the file empty.
    flock(fileno(shared->file), LOCK_EX);
    if (!shared->put(encodeRecordingHeader(header))) {
        std::fclose(shared->file);
        std::remove(shared->partPath.c_str());
        error = shared->partPath + ": cannot be written";
        return nullptr;
    }
    Shared& state = *shared;
    state.thread = std::thread([&state] { state.run(); });
    return std::unique_ptr<RecordingWriter>(new RecordingWriter(std::move(shared)));
}

RecordingWriter::RecordingWriter(std::unique_ptr<Shared> state) : shared(std::move(state)) {}

RecordingWriter::~RecordingWriter()
{
    finish();
}

void RecordingWriter::addFrame(const RecordedFrame& frame, const Keyframe& after)
{
    Shared& state = *shared;
    if (finished || state.fault.load(std::memory_order_relaxed) != static_cast<int>(RecordingFault::None)) {
        return;
    }
    if (added >= kMaxRecordedFrames) {
        state.setFault(RecordingFault::TooLong);
        return;
    }
    const std::uint64_t next = state.published.load(std::memory_order_relaxed);
    if (next - state.consumed.load(std::memory_order_acquire) >= kBufferedFrames) {
        state.setFault(RecordingFault::Overrun);
        return;
    }
    BufferedFrame& slot = state.frames[next % kBufferedFrames];
    ++added;
    slot.frame = frame;
    slot.hashed = added % state.hashEvery == 0;
    slot.keyframed = added % state.keyframeEvery == 0;
    if (slot.hashed) {
        slot.hash = carStateHash(after.car);
    }
    if (slot.keyframed) {
        state.keyframeOf(added) = after;
    }
    state.published.store(next + 1, std::memory_order_release);
    // Frames far faster than the clock's (a replay, a benchmark) wake the thread
    // early; notifying takes no lock and waits on nothing.
    if ((next + 1) % (kBufferedFrames / 4) == 0) {
        state.wake.notify_one();
    }
}

void RecordingWriter::waitForRoom()
{
    Shared& state = *shared;
    while (state.writing()
           && state.published.load(std::memory_order_relaxed) - state.consumed.load(std::memory_order_acquire)
                  >= kBufferedFrames - 1) {
        state.wake.notify_one();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void RecordingWriter::addCarText(std::string text)
{
    std::lock_guard lock(shared->mutex);
    shared->carTexts.push_back(std::move(text));
}

void RecordingWriter::keepAs(std::string keptPath)
{
    {
        std::lock_guard lock(shared->mutex);
        shared->keptPath = std::move(keptPath);
    }
    shared->wake.notify_one();
}

bool RecordingWriter::finish()
{
    if (finished) {
        return finishedWhole;
    }
    finished = true;
    Shared& state = *shared;
    {
        std::lock_guard lock(state.mutex);
        state.stopping = true;
    }
    state.wake.notify_one();
    state.thread.join();

    const RecordingFault fault = static_cast<RecordingFault>(state.fault.load());
    const bool diskFailed = fault == RecordingFault::DiskFull || fault == RecordingFault::WriteFailed;
    if (!diskFailed) {
        state.put(encodeEndMark(state.written, fault == RecordingFault::None ? RecordingEnd::DriveEnded
                                                                             : RecordingEnd::WriterStopped));
    }
    const bool closed = std::fclose(state.file) == 0;
    state.file = nullptr;
    const std::string landed = state.land(state.partPath, state.path);
    if (!landed.empty()) {
        std::lock_guard lock(state.mutex);
        state.path = landed;
    }
    finishedWhole = closed && !landed.empty() && static_cast<RecordingFault>(state.fault.load()) == RecordingFault::None;
    return finishedWhole;
}

RecordingFault RecordingWriter::takeFault()
{
    const int fault = shared->fault.load(std::memory_order_relaxed);
    if (fault == static_cast<int>(RecordingFault::None) || faultTaken) {
        return RecordingFault::None;
    }
    faultTaken = true;
    return static_cast<RecordingFault>(fault);
}

std::string RecordingWriter::finalPath() const
{
    std::lock_guard lock(shared->mutex);
    return shared->path;
}

} // namespace torvane

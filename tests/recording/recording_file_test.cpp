// The recording file: what the writer writes reads back the same; a file cut at
// any byte or with any bit flipped gives a prefix of the drive's frames and
// says where it stops, never other frames; headers that cannot be trusted
// (another format, not a recording, absurd sizes) are refused with the file's
// name; a failed write stops the writer, which says so once, and the file
// stays readable up to its last sound chunk; the folder's .part files are
// recovered and the oldest drives pruned, never the saved ones.
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "core/file_contents.h"
#include "recording/byte_codec.h"
#include "recording/recording.h"
#include "recording/recording_codec.h"
#include "recording/recording_folder.h"
#include "recording/recording_writer.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

class RecordingFile : public ::testing::Test {
protected:
    // Writes a drive of count frames with pads, events, a car reload and
    // keyframes, kept half way (moved to saved/ while written); its bytes.
    std::string writeDrive(std::uint32_t count)
    {
        RecordingHeader header;
        header.programVersion = "test";
        header.levelHash = 7;
        header.carText = "[body]\nmass = 1000.0\n";
        header.start.car.position = {1.0f, 0.0f, -2.0f};
        std::string error;
        const std::string path = (folder / "drive.tvr").string();
        auto writer = RecordingWriter::start(path, header, error);
        if (writer == nullptr) {
            ADD_FAILURE() << error;
            return {};
        }
        std::mt19937_64 random(5);
        Keyframe after;
        frames.clear();
        for (std::uint32_t i = 1; i <= count; ++i) {
            RecordedFrame frame{static_cast<float>(random() % 100) / 4000.0f, random() & 0xFFFFu, {}, 0};
            if (i % 7 == 0) {
                frame.pads = {-0.5f, 0.25f, 1.0f, 3u};
            }
            if (i == 50) {
                frame.events = kEventFocusPause | kEventCarReloaded;
                writer->addCarText("[body]\nmass = 1200.0\n");
            }
            after.car.speed = static_cast<float>(i);
            writer->waitForRoom();
            writer->addFrame(frame, after);
            frames.push_back(frame);
            if (i == count / 2) {
                writer->keepAs(keptPath.string()); // the player keeps it half way
            }
        }
        EXPECT_TRUE(writer->finish());
        EXPECT_EQ(writer->finalPath(), keptPath.string());
        EXPECT_FALSE(fs::exists(path));
        return readFileContents(keptPath.c_str()).value_or("");
    }

    // Checks that what reading damaged bytes gave is sound: refused with a message,
    // or a prefix of the written frames that says where it stops, never whole.
    void expectPrefixOrRefusal(const std::string& bytes, const std::string& what)
    {
        const RecordingRead read = parseRecording(bytes, "cut.tvr");
        if (!read.recording) {
            EXPECT_EQ(read.error.rfind("cut.tvr: ", 0), 0u) << what;
            return;
        }
        const Recording& recording = *read.recording;
        ASSERT_LE(recording.frames.size(), frames.size()) << what;
        for (std::size_t i = 0; i < recording.frames.size(); ++i) {
            ASSERT_EQ(recording.frames[i], frames[i]) << what << ", frame " << i + 1;
        }
        EXPECT_FALSE(recording.complete) << what;
        EXPECT_EQ(recording.stopNote.rfind("cut.tvr: stops after frame", 0), 0u) << what;
    }

    const ScratchFolder scratch;
    const fs::path& folder = scratch.path;
    const fs::path keptPath = folder / kSavedRecordingsFolder / "drive.tvr";
    std::vector<RecordedFrame> frames;
};

TEST_F(RecordingFile, ReadsBackWhatWasWritten)
{
    // Longer than the writer's buffer: its keyframe slots are written again and again.
    const std::uint32_t count = 20000;
    const std::string bytes = writeDrive(count);
    const RecordingRead read = parseRecording(bytes, "drive.tvr");
    ASSERT_TRUE(read.recording) << read.error;
    const Recording& recording = *read.recording;
    EXPECT_TRUE(recording.complete) << recording.stopNote;
    EXPECT_EQ(recording.header.programVersion, "test");
    EXPECT_EQ(recording.frames, frames);
    EXPECT_EQ(recording.carTextFor(49), recording.header.carText);
    EXPECT_EQ(recording.carTextFor(50), "[body]\nmass = 1200.0\n");
    EXPECT_EQ(recording.keyframeAtOrBefore(kKeyframeEvery - 1), nullptr);
    for (std::uint32_t frame = kKeyframeEvery; frame <= count; frame += kKeyframeEvery) {
        const FrameKeyframe* keyframe = recording.keyframeAtOrBefore(frame);
        ASSERT_NE(keyframe, nullptr) << frame;
        EXPECT_EQ(keyframe->frame, frame);
        EXPECT_EQ(keyframe->state.car.speed, static_cast<float>(frame)); // the state after that frame
    }
    // Compact: about two bytes a frame for these random keys and frame times.
    EXPECT_LT(bytes.size(), 20u * count);
}

TEST_F(RecordingFile, CutOrFlippedBitsAnywhereGiveTheFramesBeforeTheDamageAndNeverOthers)
{
    const std::string bytes = writeDrive(500);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        expectPrefixOrRefusal(bytes.substr(0, size), "cut at byte " + std::to_string(size));
    }
    // Past the header, the frames of every whole chunk before the cut are kept.
    const RecordingRead late = parseRecording(bytes.substr(0, bytes.size() - 20), "cut.tvr");
    ASSERT_TRUE(late.recording);
    EXPECT_GE(late.recording->frames.size(), 360u);

    std::mt19937_64 random(9);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string damaged = bytes;
        const std::size_t bit = random() % (damaged.size() * 8);
        damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
        expectPrefixOrRefusal(damaged, "bit " + std::to_string(bit) + " flipped");
    }
}

TEST_F(RecordingFile, UntrustworthyHeadersAreRefused)
{
    const std::string bytes = writeDrive(10);
    const auto refusal = [](std::string file) {
        const RecordingRead read = parseRecording(file, "x.tvr");
        return read.recording ? std::string("read") : read.error;
    };
    EXPECT_EQ(refusal(bytes.substr(0, 8) + '\x02' + bytes.substr(9)), // the format's version
              "x.tvr: recorded in a newer format (version 2; this Torvane reads version 1): replay it "
              "with a newer Torvane");
    EXPECT_EQ(refusal("#!/bin/sh\necho hello\n"), "x.tvr: not a Torvane recording");
    EXPECT_EQ(refusal(bytes.substr(0, 12) + "\xFF\xFF\xFF\xFF" + bytes.substr(16)), // a header of 4 GB
              "x.tvr: damaged header (it claims 4294967295 bytes)");
}

TEST_F(RecordingFile, KeysFollowTheirCodesWhenTheTableChanges)
{
    // A recording made by a program whose table had Up in row 0 and Left in row 2.
    std::string file = encodeRecordingHeader(RecordingHeader{});
    const std::size_t codes = kRecordingMagic.size() + 12 + 2 + 8 + 8 + 4 + 4;
    ASSERT_EQ(static_cast<std::uint8_t>(file[codes]), kDrivingKeys.size());
    ASSERT_EQ(kDrivingKeys[0].code, kKeyLeft);
    ASSERT_EQ(kDrivingKeys[2].code, kKeyUp);
    std::swap(file[codes + 1], file[codes + 3]);
    std::string crc;
    ByteWriter(crc).u32(crc32Of(std::string_view(file).substr(kRecordingMagic.size() + 12)));
    file.replace(kRecordingMagic.size() + 8, 4, crc);

    std::string raw;
    ByteWriter records(raw);
    writeFrameRecord(records, {1.0f / 60.0f, 1u, {}, 0}, nullptr, nullptr, nullptr); // row 0 then: Up
    const RecordingRead read = parseRecording(file + encodeChunk(1, 1, raw), "old.tvr");
    ASSERT_TRUE(read.recording) << read.error;
    ASSERT_EQ(read.recording->frames.size(), 1u);
    EXPECT_EQ(read.recording->frames[0].keys, 1u << 2); // Up's row today
}

TEST_F(RecordingFile, HugeCountsInASoundChunkStopTheReadingUnallocated)
{
    const std::string bytes = writeDrive(10);
    const std::string header = bytes.substr(0, bytes.find("TVCK"));
    // Chunks with a matching CRC, as a hostile file would have, claiming
    // 4 billion frames, then 4 GB of frames once unpacked.
    const std::string manyFrames = encodeChunk(1, 0xFFFFFFFFu, "x");
    std::string hugeRaw;
    ByteWriter out(hugeRaw);
    for (const std::uint32_t field : {kChunkMagic, 1u, 1u, 0xFFFFFFFFu, 1u}) {
        out.u32(field);
    }
    out.u32(crc32Of("x", crc32Of(hugeRaw)));
    out.raw("x");
    for (const std::string& chunk : {manyFrames, hugeRaw}) {
        const RecordingRead read = parseRecording(header + chunk, "x.tvr");
        ASSERT_TRUE(read.recording);
        EXPECT_TRUE(read.recording->frames.empty());
        EXPECT_EQ(read.recording->stopNote,
                  "x.tvr: stops after frame 0 (byte " + std::to_string(header.size()) + "): damaged chunk header");
    }
}

TEST_F(RecordingFile, AFailedWriteStopsTheWriterOnceAndLeavesTheFileReadable)
{
    // Files of this process may not grow past 8 KB: writes beyond fail as on a full disk.
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const std::string path = (folder / "full.tvr").string();
    auto writer = RecordingWriter::start(path, RecordingHeader{}, error);
    ASSERT_NE(writer, nullptr) << error;
    std::mt19937_64 random(3);
    for (int i = 0; i < 3000; ++i) {
        writer->addFrame({1.0f / 60.0f, random() & 0xFFFFu, {}, 0}, Keyframe{});
    }
    const bool whole = writer->finish();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);

    EXPECT_FALSE(whole);
    EXPECT_EQ(writer->takeFault(), RecordingFault::WriteFailed);
    EXPECT_EQ(writer->takeFault(), RecordingFault::None); // told once
    const RecordingRead read = readRecording(path);
    ASSERT_TRUE(read.recording) << read.error;
    EXPECT_GT(read.recording->frames.size(), 0u);
    EXPECT_LT(read.recording->frames.size(), 3000u);
    EXPECT_FALSE(read.recording->complete);
}

TEST_F(RecordingFile, FolderRecoversAndPrunesOnlyTheGamesOwnFilesAndNeverFollowsALink)
{
    const fs::path outside = folder / "outside", saved = folder / kSavedRecordingsFolder;
    fs::create_directories(saved);
    fs::create_directories(outside);
    // Ours, and what the game never wrote, named to be taken first: links out of the folder, a foreign name, a folder.
    for (const fs::path& file : {folder / "2026-01-01_10-00-00.tvr", folder / "2026-01-02_10-00-00.tvr",
                                 folder / "2026-01-03_10-00-00_2+.tvr", folder / "2026-01-04_10-00-00.tvr.part",
                                 saved / "2025-01-01_10-00-00.tvr.part", outside / "2020-01-01_10-00-00.tvr",
                                 outside / "2020-01-01_10-00-00.tvr.part", folder / "2000 notes.tvr",
                                 folder / "2000 notes.tvr.part"}) {
        std::ofstream(file) << "x";
    }
    for (const char* name : {"2020-01-01_10-00-00.tvr", "2020-01-01_10-00-00.tvr.part"}) {
        fs::create_symlink(outside / name, folder / name);
    }
    fs::create_directories(folder / "2019-01-01_10-00-00.tvr");
    std::ofstream(folder / "2026-01-05_10-00-00.tvr.part"); // a game's that has not locked it yet

    EXPECT_EQ(recoverPartFiles(folder.string()).size(), 2u);
    EXPECT_EQ(pruneRecordings(folder.string(), 2).size(), 2u);
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        left.push_back(entry.path().lexically_relative(folder).string() + (entry.is_symlink() ? "@" : ""));
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"2000 notes.tvr", "2000 notes.tvr.part", "2019-01-01_10-00-00.tvr",
                                              "2020-01-01_10-00-00.tvr.part@", "2020-01-01_10-00-00.tvr@",
                                              "2026-01-03_10-00-00_2+.tvr", "2026-01-04_10-00-00.tvr",
                                              "2026-01-05_10-00-00.tvr.part", "outside",
                                              "outside/2020-01-01_10-00-00.tvr",
                                              "outside/2020-01-01_10-00-00.tvr.part", "saved",
                                              "saved/2025-01-01_10-00-00.tvr"}));
    // A saved folder that is a link out of the recordings is not recovered in.
    fs::remove_all(saved);
    fs::create_symlink(outside, saved);
    EXPECT_TRUE(recoverPartFiles(folder.string()).empty());
    // A new drive started in the same second as a kept one gets a name of its own.
    std::ofstream(folder / recordingFileName(1000)) << "x";
    EXPECT_NE(newRecordingPath(folder.string(), 1000), (folder / recordingFileName(1000)).string());
}

TEST_F(RecordingFile, GamesStartedTogetherNeverShareAFile)
{
    std::vector<std::unique_ptr<RecordingWriter>> writers(8);
    std::vector<std::thread> starts;
    for (auto& writer : writers) {
        starts.emplace_back([&] {
            std::string error;
            writer = RecordingWriter::start(folder.string(), RecordingHeader{}, error, RecordingName::NewInFolder);
        });
    }
    for (std::thread& start : starts) {
        start.join();
    }
    ASSERT_NE(writers[0], nullptr);
    const std::string wanted = writers[0]->finalPath();
    std::ofstream(wanted) << "theirs"; // another game finishes under the name the first writer wants
    std::set<std::string> paths;
    for (auto& writer : writers) {
        ASSERT_TRUE(writer != nullptr && writer->finish());
        EXPECT_TRUE(readRecording(writer->finalPath()).recording) << writer->finalPath();
        paths.insert(writer->finalPath());
    }
    EXPECT_EQ(paths.size(), writers.size());
    EXPECT_EQ(readFileContents(wanted.c_str()), "theirs");
}

} // namespace
} // namespace torvane

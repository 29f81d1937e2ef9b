// The image decode queue hands over what reading each file only when it is
// taken would give: the same pixels, the same faults, and the same images
// refused for the budget, charged in the order taken, however the workers run.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/image_decode_queue.h"
#include "core/file_fault_log.h"
#include "support/test_files.h"

namespace torvane {
namespace {

// A size × size picture whose pixels tell apart its seed.
Bytes picture(int size, std::uint8_t seed)
{
    Bytes rgba(static_cast<std::size_t>(size * size * 4));
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return rgba;
}

struct Outcome {
    std::optional<Image> image;
    FileFault fault;
};

// Each file read and decoded when it is taken, one after the other.
std::vector<Outcome> readOneByOne(const std::vector<std::string>& paths, std::size_t budgetBytes)
{
    ImageBudget budget(budgetBytes);
    std::vector<Outcome> outcomes;
    for (const std::string& path : paths) {
        DecodedImage decoded = readImageFile(path.c_str(), budget);
        outcomes.push_back({std::move(decoded.image), decoded.fault});
    }
    return outcomes;
}

void expectSame(const std::vector<Outcome>& expected, const std::vector<Outcome>& actual,
                const std::vector<std::string>& paths)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].fault, actual[i].fault) << paths[i];
        EXPECT_EQ(expected[i].image.has_value(), actual[i].image.has_value()) << paths[i];
        if (expected[i].image && actual[i].image) {
            EXPECT_EQ(expected[i].image->rgba, actual[i].image->rgba) << paths[i];
            EXPECT_EQ(expected[i].image->width, actual[i].image->width) << paths[i];
        }
    }
}

struct ImageDecodeQueueTest : ::testing::Test {
    void SetUp() override
    {
        const Bytes big = encodePng(64, 64, PNG_FORMAT_RGBA, picture(64, 1).data());
        paths = {
            writeTemp("queue-a.png", encodePng(16, 16, PNG_FORMAT_RGBA, picture(16, 2).data())),
            writeTemp("queue-b.png", encodePng(32, 32, PNG_FORMAT_RGBA, picture(32, 3).data())),
            writeTemp("queue-cut.png", Bytes(big.begin(), big.end() - 40)), // damaged after its header
            writeTemp("queue-big.png", big),
            writeTemp("queue-text.png", Bytes{'n', 'o'}),
            "/nonexistent/queue.png",
            writeTemp("queue-c.png", encodePng(16, 16, PNG_FORMAT_RGBA, picture(16, 4).data())),
        };
    }

    void TearDown() override
    {
        for (const std::string& path : paths) {
            std::remove(path.c_str());
        }
    }

    // Every file asked for first, then taken in order, within budgetBytes.
    std::vector<Outcome> prefetchThenTake(std::size_t budgetBytes) const
    {
        SharedImageBudget budget(budgetBytes);
        ImageDecodeQueue queue(budget);
        for (const std::string& path : paths) {
            queue.prefetch(path);
        }
        std::vector<Outcome> outcomes;
        for (const std::string& path : paths) {
            std::optional<Image> image = queue.take(path);
            outcomes.push_back({std::move(image), fileFaultOf(path)});
        }
        return outcomes;
    }

    std::vector<std::string> paths;
};

TEST_F(ImageDecodeQueueTest, PrefetchedImagesAreTheImagesReadOneByOne)
{
    for (int run = 0; run < 20; ++run) { // the workers finish in another order from run to run
        expectSame(readOneByOne(paths, kTextureBudgetBytes), prefetchThenTake(kTextureBudgetBytes), paths);
    }
}

TEST_F(ImageDecodeQueueTest, TheBudgetRefusesTheSameImagesInTheOrderTaken)
{
    // The first two fit and leave a pixel too few for the cut and the big image: the cut one is
    // over budget from its header (its worker may have begun with more, and found it damaged),
    // the big one too (its worker may have decoded it); the last small one fits.
    const std::size_t budget = (16 * 16 + 32 * 32 + 64 * 64 - 1) * 4;
    const std::vector<Outcome> expected = readOneByOne(paths, budget);
    EXPECT_TRUE(expected[1].image);
    EXPECT_EQ(expected[2].fault, FileFault::OverBudget);
    EXPECT_EQ(expected[3].fault, FileFault::OverBudget);
    EXPECT_TRUE(expected[6].image);
    for (int run = 0; run < 20; ++run) {
        expectSame(expected, prefetchThenTake(budget), paths);
    }
}

TEST_F(ImageDecodeQueueTest, ImagesTakenWithoutPrefetchOrOutOfOrderAndManyAhead)
{
    SharedImageBudget budget(kTextureBudgetBytes);
    const std::vector<Outcome> expected = readOneByOne(paths, kTextureBudgetBytes);
    {
        ImageDecodeQueue queue(budget);
        for (int copy = 0; copy < 3; ++copy) { // more than are decoded ahead, some asked for twice
            for (const std::string& path : paths) {
                queue.prefetch(path);
            }
        }
        EXPECT_EQ(queue.take(paths[6])->rgba, expected[6].image->rgba) << "out of order";
        EXPECT_EQ(queue.take(paths[0])->rgba, expected[0].image->rgba);
        EXPECT_FALSE(queue.take(paths[4]));
        EXPECT_EQ(fileFaultOf(paths[4]), FileFault::UnsupportedFormat) << "noted for the box that names it";
        EXPECT_EQ(queue.take(paths[1])->rgba, expected[1].image->rgba) << "taken again: read again";
        EXPECT_EQ(queue.take(paths[1])->rgba, expected[1].image->rgba);
    } // the rest is dropped, workers stopped
    ImageDecodeQueue plain(budget);
    EXPECT_EQ(plain.take(paths[3])->rgba, expected[3].image->rgba) << "never asked for";
}

} // namespace
} // namespace torvane

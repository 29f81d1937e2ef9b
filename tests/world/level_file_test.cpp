// The city's two level files read line by line: well-formed records, the lines
// skipped and counted, foreign conventions and the header's and lines' limits.
#include <string>

#include <gtest/gtest.h>

#include "world/level_file.h"

namespace torvane {
namespace {

std::string placementLines(int count)
{
    std::string text = "0\n";
    for (int i = 0; i < count; ++i) {
        text += "1,0,0," + std::to_string(i) + ",0,\n";
    }
    return text;
}

TEST(LevelFile, ReadsWellFormedFiles)
{
    const ModelFile models = parseModelFile("2 \r\n"
                                            "1,  objets/a.x extra,2.5,4,-1.5e1,\r\n"
                                            "100,b.x,1,2,3, trailing comment, more\r\n");
    EXPECT_EQ(models.header, 2);
    EXPECT_EQ(models.skipped.count, 0);
    ASSERT_EQ(models.records.size(), 2u);
    const ModelRecord& a = models.records[0];
    EXPECT_EQ(a.meshPath, "objets/a.x");
    EXPECT_EQ(a.footprintWidth, -15.0f);
    EXPECT_EQ(a.lineNumber, 2);
    EXPECT_EQ(models.records[1].modelNumber, 100);
    EXPECT_EQ(models.records[1].lineNumber, 3);

    // Header below the line count and no final line feed.
    const PlacementFile placements = parsePlacementFile("2\n+7, -1.25,0.5 ,.5e1,3.14159,\n1,0,0,0,0,\n2,1,2,3,4,");
    EXPECT_EQ(placements.header, 2);
    EXPECT_EQ(placements.skipped.count, 0);
    ASSERT_EQ(placements.records.size(), 3u);
    EXPECT_EQ(placements.records[0].modelNumber, 7);
    EXPECT_EQ(placements.records[0].position, Vector3(-1.25f, 0.5f, 5.0f));
    EXPECT_EQ(placements.records[0].heading, 3.14159f);
    EXPECT_EQ(placements.records[2].lineNumber, 4);
}

TEST(LevelFile, SkipsMalformedLinesAndCountsThem)
{
    // From "44abc" on: what editors and other locales write (decimal commas, hexadecimal and unit suffixes) and
    // numbers too large for the level, refused and never misread.
    for (const char* bad : {"1,0,0,0,", "", "\r", "x,0,0,0,0,", "1,0,abc,0,0,", "1,nan,0,0,0,", "1,0,-inf,0,0,",
                            "1,0,0,1e39,0,", "0,0,0,0,0,", "101,0,0,0,0,", "-5,0,0,0,0,", "99999999999,0,0,0,0,",
                            "+-1,0,0,0,0,", "1,- 2,0,0,0,", "1,44abc,0,0,0,", "1,0x10,0,0,0,", "1,0,00,0,0,0,",
                            "1,0,0,0,3,14,", "1,0,0,0,3,14", "1,2 m,0,0,0,", "1x,0,0,0,0,", "1,1e7,0,0,0,",
                            "1,0,-1000001,0,0,", "1,0,0,1e37,0,", "1,0,0,0,1001,", "1,0,0,0,-1e30,"}) {
        const PlacementFile file = parsePlacementFile("1\n1,0,0,0,0,\n" + std::string(bad) + "\n2,0,0,0,0,\n");
        EXPECT_EQ(file.skipped.count, 1) << bad;
        EXPECT_EQ(file.skipped.firstLineNumber, 3) << bad;
        EXPECT_EQ(file.records.size(), 2u) << bad;
    }
    const ModelFile models = parseModelFile("3\n1, ,1,1,1,\n1,a.x,1,1,1\n2,b.x,1,1,1,\n\n5,c.x,1,1,z,\n");
    EXPECT_EQ(models.skipped.count, 4);
    EXPECT_EQ(models.skipped.firstLineNumber, 2);
    ASSERT_EQ(models.records.size(), 1u);
    EXPECT_EQ(models.records[0].lineNumber, 4);
}

// What editors and other locales write: decimal commas, hexadecimal and unit
// suffixes, and numbers too large for the level. Each either reads as meant or is
// a counted bad line (the placements: SkipsMalformedLinesAndCountsThem), never a
// misread. A byte-order mark and CR-only line ends read as the shipped files: the
// hostile cases bom and cr_only drive through them.
TEST(LevelFile, ForeignConventionsAndAbsurdNumbersAreReadOrRefusedNeverMisread)
{
    EXPECT_EQ(parsePlacementFile("1\r\r\n1,0,0,0,0,\n").skipped.firstLineNumber, 2) << "CR then CRLF: a blank line";

    for (const char* bad : {"1,a.x,1e5,1e37,1,", "1,a.x,1,1,1e19,", "1,a.x,-100001,1,1,", "1,a.x,1,1,1,2,"}) {
        EXPECT_EQ(parseModelFile("1\n" + std::string(bad) + "\n").skipped.count, 1) << bad;
    }
    const PlacementFile edges = parsePlacementFile("1\n1,-1e6,1e6,0,-1000, a comment, 2nd\n");
    ASSERT_EQ(edges.records.size(), 1u);
    EXPECT_EQ(edges.records[0].heading, -1000.0f);
    const ModelFile sizes = parseModelFile("1\n1,a.x,1e5,-1e5,0,\n");
    ASSERT_EQ(sizes.records.size(), 1u);
    EXPECT_EQ(sizes.records[0].footprintLength, -1e5f);
}

TEST(LevelFile, HeaderAndLineLimits)
{
    for (const char* text : {"", "\n", "abc\n", "99999999999\n", "2 models\n", "0x10\n"}) {
        const ModelFile file = parseModelFile(text);
        EXPECT_EQ(file.header, 0) << text;
        EXPECT_EQ(file.skipped.count, 1) << text;
        EXPECT_EQ(file.skipped.firstLineNumber, 1) << text;
    }
    EXPECT_EQ(parseModelFile("4").skipped.count, 0);
    EXPECT_EQ(parseModelFile("4\n").skipped.count, 0);

    const std::string longPath(10000, 'p');
    const ModelFile longLine = parseModelFile("1\n1," + longPath + ",1,1,1,\n2,b.x,1,1,1,\n");
    ASSERT_EQ(longLine.records.size(), 2u);
    EXPECT_EQ(longLine.records[0].meshPath, longPath);

    const PlacementFile full = parsePlacementFile(placementLines(151));
    ASSERT_EQ(full.records.size(), 150u);
    EXPECT_EQ(full.records.back().position.z, 149.0f);
    EXPECT_EQ(full.skipped.count, 1);
    EXPECT_EQ(full.skipped.firstLineNumber, 152);
    EXPECT_EQ(parsePlacementFile(placementLines(1000)).skipped.count, 850);
}

} // namespace
} // namespace torvane

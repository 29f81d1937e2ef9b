// The game's car file at start-up and on reload: a sound file gives the car its
// model (and on reload keeps the car where it is); a refused file is named with
// its line and field, and the car keeps the model it had.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/car_loading.h"
#include "app/drive_viewing.h"
#include "app/game.h"
#include "core/message_sink.h"
#include "core/player_messages.h"
#include "render/recording_device.h"
#include "support/scratch_folder.h"
#include "support/shipped_car.h"

namespace torvane {
namespace {

struct CarFileFixture : ::testing::Test {
    CarFileFixture()
    {
        game->device = &device;
        game->carSource.path = path;
    }

    // Saves the shipped car file with the first `from` of each change replaced by its `to`.
    void save(std::initializer_list<std::pair<std::string_view, std::string_view>> changes) const
    {
        std::ofstream(path) << shippedCarText(changes);
    }

    // The boxes about the car file (the scene's meshes and level files are missing here).
    std::vector<std::string> carBoxes() const
    {
        std::vector<std::string> found;
        std::copy_if(messages.boxes().begin(), messages.boxes().end(), std::back_inserter(found),
                     [this](const std::string& box) { return box.find(path) != std::string::npos; });
        return found;
    }

    const ScratchFolder folder;
    const std::string path = folder / "car.toml";
    RecordingDevice device;
    std::unique_ptr<Game> game = std::make_unique<Game>();
    ScopedMessageCapture messages;
};

TEST_F(CarFileFixture, StartUpTakesTheFileOrBoxesAndKeepsTheBuiltInCar)
{
    save({{"x = 0.0", "x = 30.0"}, {"footprint_width = 4.8", "footprint_width = 6"}});
    setupScene(*game);
    EXPECT_TRUE(game->carSource.fromFile);
    EXPECT_EQ(game->playerCar.getPosition(), Vector3(30.0f, 2.0f, 2.0f));
    EXPECT_EQ(game->playerCar.getFootprintWidth(), 6.0f);
    EXPECT_TRUE(carBoxes().empty());

    const std::string shipped = shippedCarText();
    const auto massLine = 1 + std::count(shipped.begin(), shipped.begin() + shipped.find("mass ="), '\n');
    auto refused = std::make_unique<Game>();
    refused->carSource.path = path;
    save({{"mass = 1000.0", "mass = -1"}});
    setupScene(*refused);
    EXPECT_FALSE(refused->carSource.fromFile);
    EXPECT_TRUE(refused->playerCar.getParameters() == CarParameters{});
    EXPECT_EQ(refused->playerCar.getPosition(), Vector3(0.0f, 2.0f, 2.0f));
    ASSERT_EQ(carBoxes().size(), 1u);
    EXPECT_EQ(carBoxes()[0].find("Erreur: " + path + " refusé : ligne"), 0u) << carBoxes()[0];
    const std::string massError = path + ":" + std::to_string(massLine) + ": body.mass: -1 is outside (0, 1e+06]";
    EXPECT_EQ(std::count(messages.diagnostics().begin(), messages.diagnostics().end(), massError), 1);
}

TEST_F(CarFileFixture, ReloadTakesASavedFileWhereTheCarStandsAndRefusesABadOne)
{
    save({});
    setupScene(*game);
    game->playerCar.setPosition({5.0f, 2.0f, -40.0f});
    const std::uint64_t firstHash = game->carSource.hash;

    save({{"grip_factor = 1.688", "grip_factor = 1.2"}});
    reloadCar(*game);
    EXPECT_EQ(game->playerCar.getParameters().tyres.gripFactor, 1.2f);
    EXPECT_EQ(game->playerCar.getPosition(), Vector3(5.0f, 2.0f, -40.0f));
    EXPECT_NE(game->carSource.hash, firstHash);
    EXPECT_EQ(game->note.text, path + " rechargé");
    EXPECT_FALSE(game->note.error);

    const std::uint64_t goodHash = game->carSource.hash;
    save({{"grip_factor = 1.688", "grip_factor = 1.2\ngrip = 2"}});
    reloadCar(*game);
    EXPECT_EQ(game->playerCar.getParameters().tyres.gripFactor, 1.2f);
    EXPECT_EQ(game->carSource.hash, goodHash);
    EXPECT_TRUE(game->note.error);
    EXPECT_NE(game->note.text.find("refusé : ligne"), std::string::npos) << game->note.text;
    EXPECT_NE(game->note.text.find("tyres.grip"), std::string::npos) << game->note.text;
    EXPECT_NE(messages.diagnostics().back().find(": tyres.grip: unknown key"), std::string::npos);
    EXPECT_TRUE(carBoxes().empty()) << "a reload never stops the game with a box";

    // The note is drawn for a few seconds over the frame, then no more.
    device.addMeshFile("objets/cars/mycar.x", {});
    device.createFont(20);
    auto textsDrawn = [this] {
        device.clearLog();
        runFrame(*game, 1.0f);
        return device.countCalls(DeviceOperation::DrawText);
    };
    EXPECT_EQ(textsDrawn(), 4u);
    for (float second = 1.0f; second < kScreenNoteSeconds; second += 1.0f) {
        textsDrawn();
    }
    EXPECT_EQ(textsDrawn(), 3u);
}

// Car files and recordings come from other players: what is not the file
// itself is refused with its cause, and reading it never waits.
TEST_F(CarFileFixture, SharedLinksPipesDevicesFoldersAndHugeFilesAreRefusedWithTheirCauseWithoutWaiting)
{
    save({});
    const std::filesystem::path pipe = folder / "pipe", huge = folder / "huge", link = folder / "link";
    std::filesystem::create_symlink(path, link);
    mkfifo(pipe.c_str(), 0600);
    std::ofstream(huge) << "x";
    std::filesystem::resize_file(huge, std::uintmax_t{300} << 20); // sparse, past every limit
    const std::pair<std::filesystem::path, FileFault> rows[] = {{link, FileFault::SymbolicLink},
        {pipe, FileFault::NotRegularFile}, {"/dev/zero", FileFault::NotRegularFile},
        {folder.path, FileFault::NotRegularFile}, {huge, FileFault::TooLarge}};
    alarm(30); // a reader that waits on the pipe ends the program here
    for (const auto& [file, fault] : rows) {
        const std::string why(fileFaultText(fault));
        Game shared;
        shared.carSource.path = file.string();
        loadStartCar(shared);
        EXPECT_FALSE(shared.carSource.fromFile) << file;
        EXPECT_EQ(messages.boxes().back(), "Erreur: " + file.string() + " refusé : " + why);
        std::string recordingWhy;
        EXPECT_FALSE(readRecordingFor(file.string(), 0, &recordingWhy)) << file;
        EXPECT_EQ(recordingWhy, why) << file;
    }
    alarm(0);
}

} // namespace
} // namespace torvane

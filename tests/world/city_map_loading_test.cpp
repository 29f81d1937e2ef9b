// Loading the city's two files into the city map, and drawing what they placed.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/message_sink.h"
#include "render/recording_device.h"
#include "support/scratch_folder.h"
#include "world/city_map.h"

namespace torvane {
namespace {

struct CityMapLoading : ::testing::Test {
    CityMapLoading() { device.addMeshFile("objets/house.x", {MeshMaterial{}, MeshMaterial{}}); }

    void load(const std::string& models, const std::string& placements)
    {
        city->loadModels(writeTemp("city.ldo", models).c_str(), &device);
        city->loadPlacedObjects(writeTemp("city.map", placements).c_str());
    }

    ScopedMessageCapture messages;
    RecordingDevice device;
    std::unique_ptr<CityMap> city = std::make_unique<CityMap>();
};

TEST_F(CityMapLoading, PlacedObjectsCopyTheirModelAndTheHeaderCountsWhatIsDrawn)
{
    load("2\r\n1,objets/house.x,9.5,12,8,\r\n2,  objets/missing.x trailing,3,2,2,\r\n",
         "2\n1,10,0,-5,1.5,\n2,0,0,0,0,\n1,-20,0,30,0,\n");
    EXPECT_EQ(messages.boxes(),
              std::vector<std::string>{"Erreur: Impossible de trouver l'Objet\nobjets/missing.x : fichier introuvable"});
    EXPECT_EQ(city->getModelCount(), 2);
    EXPECT_EQ(city->getLoadedPlacementCount(), 3);
    EXPECT_EQ(city->getPlacedObjectCount(), 2);

    // Its place and extents also decide where the golden wall drive meets the city's wall.
    const SceneObject& house = city->placedObject(0);
    EXPECT_EQ(house.getBoundingRadius(), 9.5f);
    EXPECT_EQ(house.getMesh(), city->placedObject(2).getMesh()) << "copies share the model's mesh";
    // The model whose mesh failed still collides with its extents and draws nothing.
    EXPECT_EQ(city->placedObject(1).getMaterialCount(), 0u);
    EXPECT_EQ(city->placedObject(1).getFootprintWidth(), 2.0f);

    device.clearLog();
    city->draw();
    EXPECT_EQ(device.countCalls(DeviceOperation::SetTransform), 2u) << "placed objects 0 and 1 only";
    EXPECT_EQ(device.countCalls(DeviceOperation::DrawSubset), 2u);
}

TEST_F(CityMapLoading, BadLinesAreSkippedAndReportedOnceAndTheCountIsClamped)
{
    load("1\n1,objets/house.x,5,4,4,\n0,objets/house.x,5,4,4,\n",
         "1000\n1,0,0,0,0,\n7,0,0,0,0,\n1,nan,0,0,0,\n1,0,0,0\n1,5,0,5,0,\n");
    EXPECT_EQ(messages.boxes(),
              (std::vector<std::string>{"Erreur: " + writeTemp("city.ldo", "") + " : 1 ligne ignorée (ligne 3)",
                                        "Erreur: " + writeTemp("city.map", "") + " : 3 lignes ignorées (première : ligne 3)"}));
    EXPECT_EQ(city->getLoadedPlacementCount(), 2);
    EXPECT_EQ(city->getPlacedObjectCount(), 2) << "the header is clamped to the objects placed";
    EXPECT_EQ(city->placedObject(1).getPosition(), Vector3(5.0f, 0.0f, 5.0f));

    auto negative = std::make_unique<CityMap>();
    negative->loadPlacedObjects(writeTemp("negative.map", "-1\n").c_str());
    EXPECT_EQ(negative->getPlacedObjectCount(), 0);
}

TEST_F(CityMapLoading, MissingFilesAreNamedInABoxAndLeaveTheTablesEmpty)
{
    city->load(&device); // no maps/ folder in the test's working directory
    EXPECT_EQ(messages.boxes(), std::vector<std::string>{"Erreur: Impossible d'ouvrir le fichier maps/city.ldo\n"
                                                         "2 échecs, 2 fichiers :\n"
                                                         "maps/city.ldo : fichier introuvable\n"
                                                         "maps/city.map : fichier introuvable"})
        << "one box for both";
    EXPECT_EQ(city->getLoadedPlacementCount(), 0);
    device.clearLog();
    city->draw();
    EXPECT_TRUE(device.getLog().empty());
}

} // namespace
} // namespace torvane

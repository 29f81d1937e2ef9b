// The setup panel: each slider moves a car-file field within what the reader
// accepts, and "Enregistrer sous…" writes the model shown so that it reads
// back to the bit, without ever replacing a file.
#include <gtest/gtest.h>

#include <algorithm>

#include "carfile/car_file.h"
#include "carfile/car_file_fields.h"
#include "carfile/car_file_writing.h"
#include "panels/setup_panel.h"
#include "support/scratch_folder.h"

namespace torvane {
namespace {

TEST(SetupPanel, EverySliderTravelsWithinItsFieldsRange)
{
    CarParameters stock;
    const auto fields = carFileFields();
    for (const SetupSlider& slider : setupSliders()) {
        const auto field = std::find_if(fields.begin(), fields.end(), [&](const CarFileField& f) {
            return f.table == slider.table && f.key == slider.key;
        });
        ASSERT_NE(field, fields.end()) << slider.key;
        EXPECT_TRUE(acceptsValue(*field, slider.low) && acceptsValue(*field, slider.high)) << slider.key;
        const float shipped = field->in(stock);
        EXPECT_TRUE(slider.low <= shipped && shipped <= slider.high) << slider.key;
        EXPECT_TRUE(!slider.logarithmic || slider.low > 0.0f) << slider.key;
    }
}

TEST(SetupPanel, SavesTheModelShownAsANewCarFile)
{
    const ScratchFolder folder;
    SetupPanel panel(folder.path.string());
    CarParameters tuned;
    tuned.body.mass = 1234.567f;
    tuned.tyres.gripFactor = 2.1f;
    tuned.controls.steeringStep = 7.5f;
    Car car(tuned);

    panel.saveAs(car, "essai");
    const std::string path = carFilePath(folder.path.string(), "essai");
    EXPECT_EQ(panel.outcome(), "Voiture enregistrée : " + path);
    const CarFileReading reading = readCarFile(path);
    ASSERT_TRUE(reading.parameters.has_value());
    EXPECT_TRUE(*reading.parameters == car.getParameters());

    car.setParameters(CarParameters{});
    panel.saveAs(car, "essai");
    EXPECT_EQ(panel.outcome(), path + " existe déjà : choisissez un autre nom");
    EXPECT_TRUE(*readCarFile(path).parameters == tuned) << "the first file stays";
    panel.saveAs(car, "../essai");
    EXPECT_EQ(panel.outcome().rfind("Nom refusé", 0), 0u);
}

} // namespace
} // namespace torvane

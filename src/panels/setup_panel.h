// SetupPanel: the window "Réglages de la voiture" over the picture: a slider
// for each main constant of the car's model (body, wheels, resistances, tyres,
// controls), applied to the car as it drives, and "Enregistrer sous…", which
// writes the model as shown into a new car file of the name typed, in the
// folder the panel was given. Draws with Dear ImGui alone.
//
// Shortcomings: the slip deadbands, the extents and the start pose have no
// slider (the car file holds them); a saved file is not driven by the game
// until it replaces the data folder's cars/car.toml.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "car/car.h"

namespace torvane {

// One slider: the car file's table and key of the value it moves, its French
// label, and its travel.
struct SetupSlider {
    std::string_view table;
    std::string_view key;
    const char* label;
    float low;
    float high;
    bool logarithmic;
};

std::span<const SetupSlider> setupSliders();

class SetupPanel {
public:
    // saveFolder: where "Enregistrer sous…" writes (the user's cars folder).
    explicit SetupPanel(std::string saveFolder) : folder(std::move(saveFolder)) {}

    // Draws the window; a moved slider gives car the changed model at once.
    void draw(Car& car);
    // Writes car's model as folder/name.toml; the outcome shows under the button.
    void saveAs(const Car& car, std::string_view name);
    const std::string& outcome() const { return saveOutcome; }

private:
    std::string folder;
    char name[65] = "ma-voiture";
    std::string saveOutcome;  // French, empty before the first save
};

} // namespace torvane

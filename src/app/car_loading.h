// The game's car file: read once at start-up (a refused or missing file is
// shown in a box and the car keeps its model, the built-in one), and again each
// time it is saved (the car takes the new model where it stands; a refused file
// leaves it as it was). Every error goes to the diagnostics with its file, line
// and field; a reload also says "rechargé" or why not in a screen note.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

class Car;
struct Game;

// The game's car file, relative to the data folder.
inline constexpr const char* kCarFile = "cars/car.toml";

struct CarSource {
    std::string path;        // relative to the data folder; empty: the built-in car, no file read
    std::uint64_t hash = 0;  // contentHash of the file the car's model was last taken from
    bool fromFile = false;   // the car's model came from path
    std::string text;        // the car file text the car's model came from; empty: the built-in car
};

// Sets the car's bounding radius and footprint from its model.
void applyCarExtents(Car& car);

// Reads game.carSource.path, if any, into the player's car.
void loadStartCar(Game& game);

// Reads game.carSource.path again after a save; true when the car took it.
bool reloadCar(Game& game);

// Gives the player's car the model of a car file's text (a recording's; the
// built-in car when empty), as a reload does but silently; false, after a
// diagnostic per error naming source, when the text is refused.
bool takeCarText(Game& game, std::string_view text, std::string_view source);

} // namespace torvane

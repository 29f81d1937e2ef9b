#include "app/car_loading.h"

#include "app/game.h"
#include "carfile/car_file.h"
#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {
namespace {

// Reads the car file, naming each of its errors in a diagnostic.
CarFileReading readNamingErrors(const std::string& path)
{
    CarFileReading reading = readCarFile(path);
    for (const CarFileError& error : reading.errors) {
        diagnose(formatCarFileError(path, error));
    }
    return reading;
}

// The player's text for a refused file, from its first error.
std::string refusedText(const std::string& path, const CarFileReading& reading)
{
    const CarFileError& first = reading.errors.front();
    return carFileRefusedMessage(path, reading.fault, static_cast<int>(reading.errors.size()), first.line,
                                 first.field);
}

// Gives the car the file's model when it is sound; false when it was refused.
bool takeCar(Game& game, const CarFileReading& reading)
{
    if (!reading.parameters) {
        return false;
    }
    game.playerCar.setParameters(*reading.parameters);
    applyCarExtents(game.playerCar);
    game.carSource.hash = reading.hash;
    game.carSource.fromFile = true;
    game.carSource.text = reading.text;
    return true;
}

} // namespace

void applyCarExtents(Car& car)
{
    const ExtentParameters& extents = car.getParameters().extents;
    car.setBoundingRadius(extents.boundingRadius);
    car.setFootprintLength(extents.footprintLength);
    car.setFootprintWidth(extents.footprintWidth);
}

void loadStartCar(Game& game)
{
    const std::string& path = game.carSource.path;
    if (path.empty()) {
        return;
    }
    const CarFileReading reading = readNamingErrors(path);
    if (!takeCar(game, reading)) {
        showBox(kErrorCaption, refusedText(path, reading));
    }
}

bool reloadCar(Game& game)
{
    const std::string& path = game.carSource.path;
    const CarFileReading reading = readNamingErrors(path);
    if (takeCar(game, reading)) {
        diagnose(path + ": reloaded");
        showScreenNote(game.note, carFileReloadedMessage(path), false);
        return true;
    }
    showScreenNote(game.note, refusedText(path, reading), true);
    return false;
}

bool takeCarText(Game& game, std::string_view text, std::string_view source)
{
    if (text.empty()) {
        game.playerCar.setParameters(CarParameters{});
        applyCarExtents(game.playerCar);
        game.carSource.hash = 0;
        game.carSource.fromFile = false;
        game.carSource.text.clear();
        return true;
    }
    CarFileReading reading = parseCarFile(text);
    for (const CarFileError& error : reading.errors) {
        diagnose(formatCarFileError(source, error));
    }
    reading.text = std::string(text);
    return takeCar(game, reading);
}

} // namespace torvane

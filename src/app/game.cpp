#include "app/game.h"

#include <utility>

#include "app/car_sound.h"
#include "car/debug_overlay.h"
#include "collision/collision_pass.h"
#include "core/load_report.h"
#include "render/graphics_device.h"
#include "sound/sound_scene.h"
#include "world/translucent_drawing.h"

namespace torvane {
namespace {

constexpr float kCarScale = 2.0f;
constexpr int kOverlayFontHeight = 20; // pixels

} // namespace

void placeAtStart(Car& car)
{
    const CarParameters& model = car.getParameters();
    car.setPosition(model.start.position);
    car.setHeading(model.start.heading);
    applyCarExtents(car);
}

bool setupDevice(Game& game, GraphicsDevice& device)
{
    game.device = &device;
    device.setRenderState(RenderState::ZEnable, 1);
    setupScene(game);
    setupLighting(device);
    return device.createFont(kOverlayFontHeight);
}

void setupScene(Game& game)
{
    const ScopedLoadReport report; // one box per kind of failed file, once everything is loaded
    Car& car = game.playerCar;
    car.loadMesh(game.device, "objets/cars/mycar.x");
    loadStartCar(game);
    placeAtStart(car);
    game.startCar = car;
    game.skyObject.loadMesh(game.device, "objets/skybox/skydome.x");
    game.cityMap.load(game.device);
}

void setupLighting(GraphicsDevice& device)
{
    Light light;
    light.type = LightType::Directional;
    light.diffuse = {1.0f, 0.85f, 0.85f, 0.0f};
    light.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light.direction = {1.0f, -4.0f, 1.0f};
    device.setLight(1, light);
    device.lightEnable(1, true);
    device.setRenderState(RenderState::Ambient, 0xFFFFFFFF);
}

float simulatedFrameTime(float measuredSeconds)
{
    return measuredSeconds > kLongestSimulatedFrame ? kLongestSimulatedFrame : measuredSeconds;
}

FrameActions runFrame(Game& game, float frameTime)
{
    const bool skipStep = std::exchange(game.play.skipNextStep, false);
    const bool driving = !game.play.paused;
    FrameActions actions = game.keyboardInput.processKeys(game.playerCar, game.camera, driving);
    game.padInput.processPads(game.playerCar, game.camera, actions, driving, frameTime);
    if (actions.pauseToggled) {
        game.play.paused = !game.play.paused;
    }
    if (actions.resetRequested) {
        // Position, heading and every motion and control value, in the car file's
        // model as it stands now (it may have been reloaded); the camera keeps its mode.
        const CarParameters model = game.playerCar.getParameters();
        game.playerCar = game.startCar;
        game.playerCar.setParameters(model);
        placeAtStart(game.playerCar);
    }
    if (actions.readoutToggled) {
        game.play.readoutShown = !game.play.readoutShown;
    }

    GraphicsDevice* device = game.device;
    actions.simulationSkipped = true; // until the scene begins
    if (device == nullptr) {
        return actions;
    }
    device->clear(kClearColour, 1.0f);
    if (device->beginScene()) {
        actions.simulationSkipped = false;
        const bool stepping = !game.play.paused && !skipStep;
        drawDebugOverlay(*device, game.playerCar);
        drawScreenNote(*device, game.note, frameTime);
        game.wallImpact = 0.0f;
        if (stepping) {
            const Vector3 before = game.playerCar.getVelocity();
            collideCar(game.playerCar, game.cityMap);
            game.wallImpact = length(before - game.playerCar.getVelocity());
        }
        if (!skipStep) { // a recorded frame without a scene left the car's scale as it was too
            game.playerCar.setScale(kCarScale, kCarScale, kCarScale);
        }
        if (stepping) {
            game.playerCar.stepPhysics(frameTime);
        }
        drawWorld(game, *device);
        game.play.drawTexts(*device);
        game.recentDrives.draw(*device);
        device->endScene();
        if (game.panels != nullptr) {
            game.panels->draw(game, actions);
        }
        if (game.sound != nullptr) {
            game.sound->update(carSoundFrame(game));
        }
    }
    device->present();
    return actions;
}

void drawWorld(Game& game, GraphicsDevice& device)
{
    if (device.isSilent()) {
        return; // the objects would draw on the device that loaded them
    }
    game.camera.update(device, game.playerCar);
    game.skyObject.draw(device);
    game.playerCar.draw();
    game.cityMap.draw();
    if (game.ghostShown) {
        drawTranslucent(game.ghostCar, kGhostOpacity);
    }
}

} // namespace torvane

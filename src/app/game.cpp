#include "app/game.h"

#include "car/debug_overlay.h"
#include "collision/collision_pass.h"
#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr std::uint32_t kClearColour = 0xFFC8C8C8; // opaque grey 200, 200, 200
constexpr float kCarScale = 2.0f;
constexpr int kOverlayFontHeight = 20; // pixels

} // namespace

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
    Car& car = game.playerCar;
    car.loadMesh(game.device, "objets/cars/mycar.x");
    car.setPosition({0.0f, 2.0f, 2.0f});
    car.setHeading(0.0f);
    car.setBoundingRadius(6.5f);
    car.setFootprintLength(11.4f);
    car.setFootprintWidth(4.8f);
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
    const FrameActions actions = game.keyboardInput.processKeys(game.playerCar, game.camera);
    GraphicsDevice* device = game.device;
    if (device == nullptr) {
        return actions;
    }
    device->clear(kClearColour, 1.0f);
    if (device->beginScene()) {
        drawDebugOverlay(*device, game.playerCar);
        collideCar(game.playerCar, game.cityMap);
        game.playerCar.setScale(kCarScale, kCarScale, kCarScale);
        game.playerCar.stepPhysics(frameTime);
        game.camera.update(*device, game.playerCar);
        game.skyObject.draw(*device);
        game.playerCar.draw();
        game.cityMap.draw();
        device->endScene();
    }
    device->present();
    return actions;
}

} // namespace torvane

// Game: the objects that make up a running game (the player's car, the sky,
// the city, the camera, the keyboard and the pads, the pause and the texts over
// the picture), the one-time scene set-up and the fixed sequence of one frame. Everything here talks to the graphics device
// through its interface, so the whole frame runs against the recording device
// in tests.
#pragma once

#include "app/play_state.h"
#include "app/car_loading.h"
#include "app/game_panels.h"
#include "app/recent_drives_menu.h"
#include "app/screen_note.h"
#include "camera/camera.h"
#include "car/car.h"
#include "input/keyboard_input.h"
#include "input/pad_input.h"
#include "world/city_map.h"
#include "world/sky_dome.h"

namespace torvane {

class GraphicsDevice;
class SoundScene;

struct Game {
    Car playerCar;
    SkyDome skyObject;
    CityMap cityMap;
    Camera camera;
    KeyboardInput keyboardInput{camera};
    PadInput padInput{camera};
    // The car as the scene set it up; resetting the car copies it back.
    Car startCar;
    PlayState play;
    // nullptr when the graphics set-up failed: frames then only read the keys.
    GraphicsDevice* device = nullptr;
    CarSource carSource;
    ScreenNote note;
    // A recorded drive's car, drawn translucent over the scene while ghostShown:
    // the player's car mesh at the recorded car's pose (app/ghost.h moves it).
    SceneObject ghostCar;
    bool ghostShown = false;
    // The list of recent drives, drawn over the picture while open.
    RecentDrivesMenu recentDrives;
    // Drawn over the finished picture; nullptr: none (tests, the headless replay).
    GamePanels* panels = nullptr;
    // Played after each frame; nullptr: silent (tests, the ghost's own game).
    SoundScene* sound = nullptr;
    // The speed the walls took from the car in the last frame, u/s; 0: no contact.
    float wallImpact = 0.0f;
};

// The clear colour of every frame: opaque grey 200, 200, 200.
inline constexpr std::uint32_t kClearColour = 0xFFC8C8C8;
// How opaque the ghost car is drawn, 0..1.
inline constexpr float kGhostOpacity = 0.4f;

// Makes device the game's device and sets it up in the game's order: the depth
// test, the scene, the light, the overlay font. False when no font came up.
bool setupDevice(Game& game, GraphicsDevice& device);
// Loads the car's mesh and its car file (game.carSource), the sky and the city
// (files relative to the working directory) on game.device, and places the
// car at its model's start pose, kept as game.startCar.
void setupScene(Game& game);
// Puts car at its model's start position and heading, with its model's extents.
void placeAtStart(Car& car);
// The scene's one directional light (index 1) and white ambient light.
void setupLighting(GraphicsDevice& device);
// The longest frame the simulation is stepped by, in seconds. A longer frame (a
// window drag, a suspend, a slow disk) is simulated as this long, so the car
// cannot jump through a wall or leave the world. Random drives of 1,000,000
// frames stay finite at this frame time (seeds 1 to 8); at 1/30, 1/25 and
// 1/20 s some spin up into a diverging oscillation after 800,000 frames or
// more, and at 0.1 s within 100,000.
inline constexpr float kLongestSimulatedFrame = 1.0f / 40.0f;

// The frame time the simulation uses for a measured one, in seconds: the same
// value bit for bit up to kLongestSimulatedFrame, that cap above it.
float simulatedFrameTime(float measuredSeconds);

// One frame: keys and pads (then the pause, the reset and the readout they
// asked for), clear, then (if the scene begins) overlay, the screen note if one
// is up, collision, car scale, physics, camera, sky, car, city, the ghost, the
// play texts and the list of recent drives if open, then the panels; present
// in every case; then the sound of the frame, when the scene began.
// While paused neither the collision nor the physics runs: the same picture is
// drawn again. The physics steps by frameTime (seconds) as given: callers pass
// it through simulatedFrameTime. Returns what the keys and pads asked of the
// loop, and whether the car went unstepped for want of a scene (a minimised
// window), which a recording keeps so that game.play.skipNextStep can make its
// replay do the same.
FrameActions runFrame(Game& game, float frameTime);

// The picture's world as the game stands: the camera placed on the car (its
// transforms set on device), then the sky, the car, the city and, when shown,
// the ghost over them.
void drawWorld(Game& game, GraphicsDevice& device);

} // namespace torvane

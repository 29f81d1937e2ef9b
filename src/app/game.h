// Game: the objects that make up a running game (the player's car, the sky,
// the city, the camera and the keyboard), the one-time scene set-up and the
// fixed sequence of one frame. Everything here talks to the graphics device
// through its interface, so the whole frame runs against the recording device
// in tests.
#pragma once

#include "app/car_loading.h"
#include "app/screen_note.h"
#include "camera/camera.h"
#include "car/car.h"
#include "input/keyboard_input.h"
#include "world/city_map.h"
#include "world/sky_dome.h"

namespace torvane {

class GraphicsDevice;

struct Game {
    Car playerCar;
    SkyDome skyObject;
    CityMap cityMap;
    Camera camera;
    KeyboardInput keyboardInput{camera};
    // nullptr when the graphics set-up failed: frames then only read the keys.
    GraphicsDevice* device = nullptr;
    CarSource carSource;
    ScreenNote note;
};

// Makes device the game's device and sets it up in the game's order: the depth
// test, the scene, the light, the overlay font. False when no font came up.
bool setupDevice(Game& game, GraphicsDevice& device);
// Loads the car's mesh and its car file (game.carSource), the sky and the city
// (files relative to the working directory) on game.device, and places the
// car at its model's start pose.
void setupScene(Game& game);
// The scene's one directional light (index 1) and white ambient light.
void setupLighting(GraphicsDevice& device);
// One frame: keys, clear, then (if the scene begins) overlay, the screen note
// if one is up, collision, car scale, physics, camera, sky, car and city;
// present in every case. Returns
// what the keys asked of the loop.
FrameActions runFrame(Game& game, float frameTime);

} // namespace torvane

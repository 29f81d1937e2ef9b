// The game's input readers as the fuzzers drive them, each with the checks its
// result must pass whatever the input. The fuzz programs run them on generated
// inputs; the regression tests run them again on the inputs that once failed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

// Feeds the input to one reader; "" when the reader handled it soundly, else
// what was wrong with the result.
using InputCheck = std::string (*)(std::span<const std::uint8_t> input);

// The check of the reader named "model_file", "placement_file", "x_mesh",
// "x_mesh_child" (the .x reader through its confined child process),
// "png", "jpeg", "key_script", "car_file", "settings_file", "recording" or
// "recording_frames";
// nullptr for any other name.
InputCheck inputCheckNamed(std::string_view name);

} // namespace torvane

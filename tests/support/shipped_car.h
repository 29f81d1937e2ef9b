// The shipped car file (game/cars/car.toml, in TORVANE_DATA_DIR) as tests edit
// it: its text with some of its lines changed.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "core/file_contents.h"

namespace torvane {

// The shipped text with the first `from` of each change replaced by its `to`; a `from` not found fails the test.
inline std::string shippedCarText(std::initializer_list<std::pair<std::string_view, std::string_view>> changes = {})
{
    std::string text = readFileContents(TORVANE_DATA_DIR "/cars/car.toml").value_or("");
    EXPECT_FALSE(text.empty()) << TORVANE_DATA_DIR "/cars/car.toml";
    for (const auto& [from, to] : changes) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text = at == std::string::npos ? text : text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace torvane

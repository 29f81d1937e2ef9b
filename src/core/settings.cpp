#include "core/settings.h"

#include <toml++/toml.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>
#include <variant>

#include "core/atomic_file.h"
#include "core/file_contents.h"
#include "core/message_sink.h"

namespace torvane {
namespace {

struct WholeNumber {
    int Settings::*field;
    int least;
    int most;
};
struct RealNumber {
    double Settings::*field;
    double least;
    double most;
};
struct Switch {
    bool Settings::*field;
};

// One key of the file: where it sits, what it holds and what it means.
struct SettingKey {
    const char* table;
    const char* key;
    std::variant<WholeNumber, RealNumber, Switch> kind;
    const char* meaning;
};

const SettingKey kSettingKeys[] = {
    {"window", "width", WholeNumber{&Settings::windowWidth, 320, 16384}, "Outer width of the window, in pixels"},
    {"window", "height", WholeNumber{&Settings::windowHeight, 240, 16384}, "Outer height of the window, in pixels"},
    {"window", "fullscreen", Switch{&Settings::fullscreen}, "Fill the screen"},
    {"window", "vsync", Switch{&Settings::vsync}, "Wait for the screen's refresh before showing a frame"},
    {"window", "pause_on_focus_loss", Switch{&Settings::pauseOnFocusLoss},
     "Pause the game when its window loses the keyboard focus"},
    {"keyboard", "background", Switch{&Settings::backgroundKeys},
     "Read the keys even while another window has the keyboard focus"},
    {"gamepad", "deadzone", RealNumber{&Settings::padDeadzone, 0.0, 0.9},
     "Stick travel (0 to 0.9) that still counts as centred"},
    {"gamepad", "curve", RealNumber{&Settings::padCurve, 1.0, 3.0},
     "Stick response (1 to 3): 1 is linear, more is finer near the centre"},
    {"recordings", "kept", WholeNumber{&Settings::recordingsKept, 0, 10000},
     "Recorded drives kept; the oldest are deleted first; 0 records none"},
    {"mesh_reader", "memory_mb", WholeNumber{&Settings::meshReaderMegabytes, 16, 65536},
     "Memory the process reading a mesh file may use, in megabytes"},
    {"mesh_reader", "seconds", WholeNumber{&Settings::meshReaderSeconds, 1, 3600},
     "Time the process reading a mesh file may take, in seconds"},
    {"sound", "enabled", Switch{&Settings::soundEnabled}, "Play the engine, the tyres and the walls"},
    {"sound", "volume", RealNumber{&Settings::soundVolume, 0.0, 1.0}, "Loudness of the sound, 0 (silent) to 1 (full)"},
};

std::string numberText(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string valueText(const SettingKey& key, const Settings& settings)
{
    return std::visit(
        [&](const auto& kind) -> std::string {
            using Kind = std::decay_t<decltype(kind)>;
            if constexpr (std::is_same_v<Kind, Switch>) {
                return settings.*kind.field ? "true" : "false";
            } else if constexpr (std::is_same_v<Kind, WholeNumber>) {
                return std::to_string(settings.*kind.field);
            } else {
                return numberText(settings.*kind.field);
            }
        },
        key.kind);
}

// What the key's value must be, for the mistakes.
std::string expectedText(const SettingKey& key)
{
    return std::visit(
        [](const auto& kind) -> std::string {
            using Kind = std::decay_t<decltype(kind)>;
            if constexpr (std::is_same_v<Kind, Switch>) {
                return "true or false";
            } else if constexpr (std::is_same_v<Kind, WholeNumber>) {
                return "a whole number from " + std::to_string(kind.least) + " to " + std::to_string(kind.most);
            } else {
                return "a number from " + numberText(kind.least) + " to " + numberText(kind.most);
            }
        },
        key.kind);
}

// Stores node's value into settings; false when it is of the wrong kind or out of bounds.
bool storeValue(const SettingKey& key, const toml::node& node, Settings& settings)
{
    return std::visit(
        [&](const auto& kind) {
            using Kind = std::decay_t<decltype(kind)>;
            if constexpr (std::is_same_v<Kind, Switch>) {
                const std::optional<bool> value = node.value_exact<bool>();
                if (value) {
                    settings.*kind.field = *value;
                }
                return value.has_value();
            } else if constexpr (std::is_same_v<Kind, WholeNumber>) {
                const std::optional<std::int64_t> value = node.value_exact<std::int64_t>();
                if (!value || *value < kind.least || *value > kind.most) {
                    return false;
                }
                settings.*kind.field = static_cast<int>(*value);
                return true;
            } else {
                const std::optional<double> value = node.is_number() ? node.value<double>() : std::nullopt;
                if (!value || !(*value >= kind.least && *value <= kind.most)) {
                    return false;
                }
                settings.*kind.field = *value;
                return true;
            }
        },
        key.kind);
}

const SettingKey* findKey(std::string_view table, std::string_view key)
{
    for (const SettingKey& known : kSettingKeys) {
        if (table == known.table && key == known.key) {
            return &known;
        }
    }
    return nullptr;
}

bool isKnownTable(std::string_view table)
{
    for (const SettingKey& known : kSettingKeys) {
        if (table == known.table) {
            return true;
        }
    }
    return false;
}

std::string placeOf(std::string_view path, const toml::node& node)
{
    return std::string(path) + ":" + std::to_string(node.source().begin.line) + ": ";
}

// Names every key of root that no setting reads.
void reportUnknownKeys(const toml::table& root, std::string_view path, std::vector<std::string>& problems)
{
    for (const auto& [tableName, tableNode] : root) {
        const toml::table* table = tableNode.as_table();
        if (table == nullptr || !isKnownTable(tableName.str())) {
            problems.push_back(placeOf(path, tableNode) + std::string(tableName.str()) + ": unknown key, ignored");
            continue;
        }
        for (const auto& [key, node] : *table) {
            if (findKey(tableName.str(), key.str()) == nullptr) {
                problems.push_back(placeOf(path, node) + std::string(tableName.str()) + "." +
                                   std::string(key.str()) + ": unknown key, ignored");
            }
        }
    }
}

std::string tooLargeProblem(std::string_view path)
{
    return std::string(path) + ": larger than " + std::to_string(kMaxSettingsFileBytes / 1024) +
           " KiB; every setting keeps its default";
}

} // namespace

SettingsRead parseSettings(std::string_view text, std::string_view path)
{
    SettingsRead read;
    if (text.size() > kMaxSettingsFileBytes) {
        read.problems.push_back(tooLargeProblem(path));
        return read;
    }
    toml::table root;
    try {
        root = toml::parse(text, path);
    } catch (const toml::parse_error& error) {
        const toml::source_position where = error.source().begin;
        read.problems.push_back(std::string(path) + ":" + std::to_string(where.line) + ":" +
                                std::to_string(where.column) + ": " + std::string(error.description()) +
                                "; every setting keeps its default");
        return read;
    }
    const Settings defaults;
    for (const SettingKey& key : kSettingKeys) {
        const toml::node* node = root[key.table][key.key].node();
        if (node != nullptr && !storeValue(key, *node, read.settings)) {
            read.problems.push_back(placeOf(path, *node) + key.table + "." + key.key + ": expected " +
                                    expectedText(key) + "; the default " + valueText(key, defaults) + " is used");
        }
    }
    reportUnknownKeys(root, path, read.problems);
    // In the file's order: every problem starts "<path>:<line>: ".
    const auto lineOf = [&](const std::string& problem) { return std::stoi(problem.substr(path.size() + 1)); };
    std::stable_sort(read.problems.begin(), read.problems.end(),
                     [&](const std::string& a, const std::string& b) { return lineOf(a) < lineOf(b); });
    return read;
}

SettingsRead readSettingsFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    SettingsRead read;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (!error && bytes > kMaxSettingsFileBytes) {
        read.problems.push_back(tooLargeProblem(path));
        return read;
    }
    const std::optional<std::string> text = readFileContents(path.c_str());
    if (!text) {
        read.problems.push_back(path + ": cannot be read; every setting keeps its default");
        return read;
    }
    return parseSettings(*text, path);
}

std::string settingsText(const Settings& settings)
{
    const Settings defaults;
    std::string text = "# Torvane's settings. Each key's default is in its comment; delete a line to get it back.\n";
    std::string_view table;
    for (const SettingKey& key : kSettingKeys) {
        if (table != key.table) {
            table = key.table;
            text += "\n[" + std::string(table) + "]\n";
        }
        text += "# " + std::string(key.meaning) + " (default " + valueText(key, defaults) + ").\n";
        text += std::string(key.key) + " = " + valueText(key, settings) + "\n";
    }
    return text;
}

bool writeSettingsFile(const std::string& path, const Settings& settings)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (!writeFileAtomically(path, settingsText(settings))) {
        diagnose(path + ": cannot be written");
        return false;
    }
    return true;
}

} // namespace torvane

#include "core/command_line.h"

#include <CLI/CLI.hpp>

#include <vector>

namespace torvane {

std::string parseCommandLine(CLI::App& app, std::span<const std::string_view> args)
{
    // CLI11 takes the words last first.
    std::vector<std::string> words(args.rbegin(), args.rend());
    app.allow_extras();
    try {
        app.parse(words);
    } catch (const CLI::ParseError& error) {
        return std::string(error.what()) + " (try --help)";
    }
    const std::vector<std::string> extra = app.remaining();
    if (extra.empty()) {
        return {};
    }
    const std::string& word = extra.front();
    return (word.starts_with("-") ? "unknown option '" : "unexpected word '") + word + "' (try --help)";
}

std::string emptyValueMistake(const CLI::App& app, std::initializer_list<const char*> options)
{
    for (const char* option : options) {
        if (app.count(option) != 0 && app.get_option(option)->as<std::string>().empty()) {
            return std::string(option) + " needs a non-empty value";
        }
    }
    return {};
}

std::string_view programVersion()
{
    return TORVANE_VERSION;
}

std::string versionLine(std::string_view program)
{
    return std::string(program) + " " + TORVANE_VERSION;
}

} // namespace torvane

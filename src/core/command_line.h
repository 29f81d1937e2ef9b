// The programs' command lines on CLI11: the parsing both programs share (their
// options are declared by each program), how mistakes are worded, and the
// version line. A mistake is one line naming the option and what is wrong;
// the programs exit with status 2 on it.
//
// Shortcoming: CLI11 words its own mistakes (a missing value, an option given
// twice) in English of its own, e.g. "--keys: 1 required TEXT missing".
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace torvane {

// The exit status of a program given a bad option (or, for the programs, bad input).
inline constexpr int kBadCommandLine = 2;

// The --data option's help, the same in every program that reads the game's data.
inline constexpr const char* kDataOptionHelp =
    "the game's data folder (default: $TORVANE_DATA, then share/torvane beside this program's folder, "
    "then the game/ folder of the source tree it was built in)";

// Parses args (the words after the program name) into the options declared on
// app. Returns the first mistake ("unknown option '--turbo' (try --help)"),
// empty when the command line is sound.
std::string parseCommandLine(CLI::App& app, std::span<const std::string_view> args);

// "--data needs a non-empty value" for the first of options given an empty word; empty when none was.
std::string emptyValueMistake(const CLI::App& app, std::initializer_list<const char*> options);

// "torvane 1.0.0" for program.
std::string versionLine(std::string_view program);
// The program's version, "1.0.0".
std::string_view programVersion();

} // namespace torvane

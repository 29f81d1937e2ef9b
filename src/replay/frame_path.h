// Frame paths: file names numbered by frame from a printf-style pattern such as
// "shots/frame%06d.png". The pattern holds exactly one conversion, %d with an
// optional 0 flag and a width of at most two digits; "%%" writes a percent sign.
// Nothing else is passed to printf, so no pattern can read beyond its argument.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

// The pattern with frame written in; nothing when the pattern is not one of the above.
std::optional<std::string> formatFramePath(std::string_view pattern, int frame);

} // namespace torvane

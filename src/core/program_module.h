// Program modules: parts of the program built as shared modules of their own
// and loaded only when first needed, so that the big libraries they use are
// neither loaded nor relocated at every start-up: the .x mesh importer
// (Assimp, loaded in the mesh reader's child only) and the video encoder
// (FFmpeg, for the replay tool's --video only). A module is found on the
// program's run path: beside the programs in the build tree, in the library
// folder's torvane/ beside an install's bin/ folder.
#pragma once

#include <string>

namespace torvane {

// The address of the function named symbol in the module file (a bare file
// name such as "libtorvane-video.so"), loaded on the first call and kept
// loaded; nullptr, with error saying why, when the module or the function
// cannot be had.
void* programModuleFunction(const char* file, const char* symbol, std::string& error);

} // namespace torvane

#include "core/file_fault_log.h"

#include <map>
#include <mutex>
#include <string>

namespace torvane {
namespace {

std::mutex logMutex;
std::map<std::string, FileFault, std::less<>> faultsByPath;

} // namespace

void noteFileFault(std::string_view path, FileFault fault)
{
    const std::lock_guard lock(logMutex);
    const auto found = faultsByPath.find(path);
    if (fault == FileFault::NoFault) {
        if (found != faultsByPath.end()) {
            faultsByPath.erase(found);
        }
    } else if (found != faultsByPath.end()) {
        found->second = fault;
    } else if (faultsByPath.size() < kMaxLoggedFileFaults) {
        faultsByPath.emplace(path, fault);
    }
}

FileFault fileFaultOf(std::string_view path)
{
    {
        const std::lock_guard lock(logMutex);
        const auto found = faultsByPath.find(path);
        if (found != faultsByPath.end()) {
            return found->second;
        }
    }
    return fileSystemFault(std::string(path).c_str());
}

} // namespace torvane

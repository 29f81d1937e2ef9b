// Program modules loaded on demand through the dynamic linker.
#include "core/program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstddef>
#include <vector>

namespace torvane {
namespace {

// The folders the dynamic linker searches for the program's own libraries, its
// run path first, $ORIGIN expanded. Asked of the program rather than left to
// dlopen's own search, which takes the run path of the library that calls it:
// under a sanitizer, its runtime's dlopen, whose run path is not the program's.
std::vector<std::string> programSearchFolders()
{
    void* program = dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (program == nullptr || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0) {
        return {};
    }
    std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
    auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
    info->dls_size = size.dls_size;
    info->dls_cnt = size.dls_cnt;
    if (dlinfo(program, RTLD_DI_SERINFO, info) != 0) {
        return {};
    }
    const Dl_serpath* paths = info->dls_serpath; // dls_cnt of them, past the declared one
    std::vector<std::string> folders;
    for (unsigned i = 0; i < info->dls_cnt; ++i) {
        folders.emplace_back(paths[i].dls_name);
    }
    return folders;
}

} // namespace

void* programModuleFunction(const char* file, const char* symbol, std::string& error)
{
    // The dynamic linker keeps one copy of a module however often it is opened.
    for (const std::string& folder : programSearchFolders()) {
        const std::string path = folder + "/" + file;
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            void* function = dlsym(module, symbol);
            if (function == nullptr) {
                error = path + " : " + symbol + " manque";
            }
            return function;
        }
        if (access(path.c_str(), F_OK) == 0) { // there, but it cannot be loaded (a library it needs is missing)
            const char* why = dlerror();
            error = path + " : " + (why != nullptr ? why : "chargement impossible");
            return nullptr;
        }
    }
    error = std::string(file) + " : introuvable dans le dossier des modules du programme";
    return nullptr;
}

} // namespace torvane

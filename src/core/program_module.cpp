// Program modules loaded on demand through the dynamic linker.
#include "core/program_module.h"

#include <dlfcn.h>

namespace torvane {

void* programModuleFunction(const char* file, const char* symbol, std::string& error)
{
    // The dynamic linker keeps one copy of a module however often it is opened:
    // the first call loads it, the later ones count a reference that is never given back.
    void* module = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    void* function = module != nullptr ? dlsym(module, symbol) : nullptr;
    if (function == nullptr) {
        const char* why = dlerror();
        error = std::string(file) + " : " + (why != nullptr ? why : "introuvable");
    }
    return function;
}

} // namespace torvane

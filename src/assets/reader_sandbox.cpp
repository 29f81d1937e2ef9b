#include "assets/reader_sandbox.h"

#include <seccomp.h>
#include <sys/mman.h>

#include <cstdio>
#include <initializer_list>

#if defined(__SANITIZE_ADDRESS__)
#define TORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TORVANE_ADDRESS_SANITIZER 1
#endif
#endif

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

namespace torvane {
namespace {

// Adds one allowed call to filter; false when libseccomp refuses it.
template <typename... Conditions>
bool allow(scmp_filter_ctx filter, int call, Conditions... conditions)
{
    return seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, sizeof...(conditions), conditions...) == 0;
}

// The calls a parsing child makes: its socket's traffic (recv and send), a
// wait on it, memory that is never executable (glibc's malloc maps, grows,
// trims and, in a thread's arena, protects; realloc remaps), futex (the
// unwinder's locks when Assimp or the allocator throws), the clock (without a
// vDSO) and the end. strace shows the shipped meshes needing recvfrom,
// sendto, poll, brk, mmap and munmap; a refused or oversized file adds futex.
bool addAllowedCalls(scmp_filter_ctx filter, int fd)
{
    const auto onTheSocket = SCMP_A0_32(SCMP_CMP_EQ, static_cast<unsigned>(fd));
    const auto notExecutable = SCMP_A2_64(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0);
    bool added = allow(filter, SCMP_SYS(recvfrom), onTheSocket) && allow(filter, SCMP_SYS(sendto), onTheSocket);
    added = added && allow(filter, SCMP_SYS(mmap), notExecutable, SCMP_A3_64(SCMP_CMP_MASKED_EQ, MAP_ANONYMOUS, MAP_ANONYMOUS));
    added = added && allow(filter, SCMP_SYS(mprotect), notExecutable);
    for (const int call : {SCMP_SYS(poll), SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise),
                           SCMP_SYS(futex), SCMP_SYS(clock_gettime), SCMP_SYS(exit_group)}) {
        added = added && allow(filter, call);
    }
#ifdef TORVANE_ADDRESS_SANITIZER
    // AddressSanitizer asks where the signal stack is (never sets one) whenever C++ throws.
    added = added && allow(filter, SCMP_SYS(sigaltstack), SCMP_A0_64(SCMP_CMP_EQ, 0));
#endif
    return added;
}

} // namespace

bool confineToSocket(int fd)
{
    if (RUNNING_ON_VALGRIND) {
        std::fputs("mesh reader: not confined under valgrind (its own system calls would be refused)\n", stderr);
        return true;
    }
    const scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
    if (filter == nullptr) {
        return false;
    }
    const bool loaded = addAllowedCalls(filter, fd) && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return loaded;
}

} // namespace torvane

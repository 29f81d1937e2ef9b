// The reader sandbox: a seccomp filter that confines a child process which
// parses untrusted files to the one socket it talks over. Once confined, the
// process may read and write that socket, wait on it, allocate and free memory
// (never executable), read the clock and exit; any other system call (opening
// a file, executing a program, a network socket, forking, writing to stderr)
// kills it with SIGSYS. A file that takes over the parser in the child then
// cannot reach the player's files.
//
// Shortcomings: Linux x86-64 and other architectures libseccomp knows; the
// socket's descriptor is checked, the bytes poll() is handed are not (they
// name descriptors the child may only wait on). Under valgrind, which makes
// system calls of its own on the program's behalf, nothing is confined and a
// line on stderr says so. Under AddressSanitizer the filter stays (it also
// lets the runtime ask where the signal stack is), so a sanitizer report in
// the child is cut at its first write and the file counts as hostile.
#pragma once

namespace torvane {

// Confines the calling process, for the rest of its life, to the socket fd as
// above. False, with nothing confined, when the kernel or the library refuses
// the filter (the caller should then parse nothing).
bool confineToSocket(int fd);

} // namespace torvane

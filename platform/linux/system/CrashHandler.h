#pragma once

#include <string>

namespace plinka {

// Leaves a report when the process dies of a fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGABRT, SIGTRAP, SIGSYS): the signal, the time, the version and a backtrace, written into
// "<processName>_<UTC date>_<pid>.crash" of the folder with async-signal-safe calls only. The
// signal then takes its default course, so the process still ends as it would have.
namespace CrashHandler {

// Installs the handlers, with an alternate stack for the calling thread (so that its stack
// overflowing still leaves a report), and makes the folder if needed; false when the folder
// cannot be made or a text is too long. Call once, early, on the main thread.
bool install(const std::string& directory, const std::string& processName,
             const std::string& version);

}  // namespace CrashHandler

}  // namespace plinka

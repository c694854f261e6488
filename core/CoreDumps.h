#pragma once

namespace vastrel {

// Keeps the database password, which the programs hold in memory, out of core files and out
// of reach of debuggers of the same user: no core dump, no ptrace attach, /proc/PID/mem
// closed. Called first thing by both programs.
void forbidCoreDumps();

} // namespace vastrel

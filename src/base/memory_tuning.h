// Process-wide tuning of the C library's allocator, called once at the start of a program.
#pragma once

namespace vx {

// Keeps memory freed by the program for its own reuse instead of handing it back to the
// system at once. Loading trajectories one after another (reports, recomputations) allocates
// and frees tens of megabytes per test; returned to the system every time, each load pays
// the page faults of fresh memory again, which costs more than decoding itself. Does nothing
// where the allocator offers no such setting.
void KeepFreedMemoryForReuse();

}  // namespace vx

#pragma once

#include <cstddef>
#include <cstdint>

namespace sonivera {

// How much memory a calculation may keep for what grows with the request rather than with the
// scene: the echo paths it keeps (sources × paths per source, on every thread). A request beyond
// it (counting at most one path per ray and source) is refused before any ray is traced, with the
// figure needed, and a calculation whose kept paths grow beyond it stops with the same message,
// instead of the system's out-of-memory killer ending this or another program.

// Half of the machine's physical memory.
std::uint64_t MachineMemoryBudget();

// The least memory the kept paths of a calculation take: every keeper (one per worker thread and
// one to merge into) full, every path with its two end points.
std::uint64_t KeptPathsFloorBytes(std::size_t sources, std::size_t perSource,
                                  std::size_t keepers);

// The bytes one kept path takes with `points` points: held, and written out as text.
std::uint64_t KeptPathBytes(std::size_t points);

} // namespace sonivera

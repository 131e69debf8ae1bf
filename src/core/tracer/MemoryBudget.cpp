#include "core/tracer/MemoryBudget.h"

#include "core/tracer/EchoPath.h"

#include <unistd.h>

namespace sonivera {

std::uint64_t MachineMemoryBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return std::uint64_t{1} << 30; // unknown: a modest gibibyte
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 2;
}

std::uint64_t KeptPathBytes(std::size_t points) {
    // In memory, and once more as the text it is written as (about 330 bytes of fields and 75
    // a point with their indentation, rounded up).
    constexpr std::uint64_t kTextBytes = 400;
    constexpr std::uint64_t kTextBytesPerPoint = 80;
    return sizeof(EchoPath) + kTextBytes +
           static_cast<std::uint64_t>(points) * (sizeof(PathPoint) + kTextBytesPerPoint);
}

std::uint64_t KeptPathsFloorBytes(std::size_t sources, std::size_t perSource,
                                  std::size_t keepers) {
    const long double bytes = static_cast<long double>(sources) * perSource * keepers *
                              static_cast<long double>(KeptPathBytes(2));
    return bytes >= 1.8e19L ? UINT64_MAX : static_cast<std::uint64_t>(bytes);
}

} // namespace sonivera

#pragma once

#include "core/tracer/EchoPath.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonivera {

// Keeps the strongest `perSource` paths of each source (ranked by RanksBefore) in one bounded heap
// per source, the weakest kept path on top, so memory never grows with the number of echoes
// offered. The tracer asks Wants() before it builds a path, so a path that would not be kept
// costs one comparison.
class PathKeeper {
public:
    // `byteLimit`: the memory the kept paths may take; a path that would go beyond it is not kept
    // and OverLimit() says so from then on.
    PathKeeper(std::size_t perSource, std::size_t sourceCount,
               std::uint64_t byteLimit = UINT64_MAX);

    // Whether a path of this rank would be kept now.
    bool Wants(std::int32_t source, double amplitude, std::int32_t ray, std::uint32_t order) const {
        const Heap& heap = m_heaps[static_cast<std::size_t>(source)];
        if (heap.size() < m_perSource) {
            return !m_overLimit;
        }
        if (m_perSource == 0 || m_overLimit) {
            return false;
        }
        const EchoPath& weakest = heap.front();
        return RanksBefore(amplitude, ray, order, weakest.amplitude, weakest.ray, weakest.order);
    }

    // Keeps the path, dropping the weakest kept one of its source when that source is full. Only
    // for a path that Wants() accepted. `path` receives the dropped path (or an empty one), so the
    // caller can reuse its storage for the next path instead of allocating.
    void Keep(EchoPath& path);

    // Offers every path another keeper holds (the result does not depend on which keeper saw
    // which path first).
    void MergeFrom(PathKeeper&& other);

    // The kept paths, by source and the strongest first; the keeper is empty afterwards.
    std::vector<EchoPath> Take();

    // The number of paths held now.
    std::size_t Size() const;

    std::size_t PerSource() const { return m_perSource; }
    // Whether a path was refused for the byte limit (the kept paths are then incomplete).
    bool OverLimit() const { return m_overLimit; }
    std::uint64_t Bytes() const { return m_bytes; }
    std::uint64_t ByteLimit() const { return m_byteLimit; }
    std::size_t SourceCount() const { return m_heaps.size(); }

private:
    using Heap = std::vector<EchoPath>;
    std::size_t m_perSource;
    std::vector<Heap> m_heaps;
    std::uint64_t m_byteLimit;
    std::uint64_t m_bytes = 0;
    bool m_overLimit = false;
};

} // namespace sonivera

#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace sonivera {

// Which shard of a map this run computes: K of N (K from 0), and where that came from.
struct ShardChoice {
    std::size_t k = 0;
    std::size_t n = 1;
    std::string source; // for the message on stderr
};

// The shard asked for: `--shard K/N` when given; else the batch scheduler's environment when it
// is there: a job array (the shard is SLURM_ARRAY_TASK_ID itself; the count is `--shards N`, or
// SLURM_ARRAY_TASK_COUNT when the array is declared as the whole range 0..N-1, so that re-running
// some of its tasks computes the same shards) or an indexed job (JOB_COMPLETION_INDEX, with the
// count from `--shards N`); else none (the whole map). `environment` reads a variable (null when
// unset). Throws CliFailure (exit 2), naming the variables' values, for a malformed, impossible or
// ambiguous K/N or environment.
std::optional<ShardChoice> ChooseShard(const std::string& shardOption,
                                       std::optional<std::size_t> shardsOption,
                                       const std::function<const char*(const char*)>& environment);

} // namespace sonivera

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
// is there: a job array (SLURM_ARRAY_TASK_ID, counted from SLURM_ARRAY_TASK_MIN, with
// SLURM_ARRAY_TASK_COUNT tasks) or an indexed job (JOB_COMPLETION_INDEX, with the count from
// `--shards N`); else none (the whole map). `environment` reads a variable (null when unset).
// Throws CliFailure (exit 2) for a malformed or impossible K/N or environment.
std::optional<ShardChoice> ChooseShard(const std::string& shardOption,
                                       std::optional<std::size_t> shardsOption,
                                       const std::function<const char*(const char*)>& environment);

} // namespace sonivera

#include "cli/map/MapShardChoice.h"

#include "cli/ExitCodes.h"
#include "cli/map/MapShardFile.h"

#include <charconv>

namespace sonivera {

namespace {

constexpr std::size_t kMaxShards = kMaxMapShards;

std::optional<std::size_t> Whole(const std::string& text) {
    std::size_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

ShardChoice Checked(std::optional<std::size_t> k, std::optional<std::size_t> n,
                    const std::string& what, std::string source) {
    if (!k || !n || *n < 1 || *n > kMaxShards || *k >= *n) {
        throw CliFailure(kExitBadInput, what + ": a shard must be K/N with 0 <= K < N <= " +
                                            std::to_string(kMaxShards));
    }
    return {*k, *n, std::move(source)};
}

using Variable = std::function<std::optional<std::string>(const char*)>;

// A job array's task is the shard of its own index, so that re-running one task (`sbatch
// --array=5`) computes the same shard as in the first run. The count comes from --shards N or,
// without it, from an array declared as the whole range 0..N-1 (first 0, step 1, last N-1, N
// tasks); anything else could be a partial re-run and is refused with what to write instead.
ShardChoice FromJobArray(const std::string& id, std::optional<std::size_t> shardsOption,
                         const Variable& variable) {
    const auto text = [&](const char* name) { return variable(name).value_or("(unset)"); };
    const std::string seen = std::string("SLURM_ARRAY_TASK_ID=") + id +
                             ", SLURM_ARRAY_TASK_MIN=" + text("SLURM_ARRAY_TASK_MIN") +
                             ", SLURM_ARRAY_TASK_MAX=" + text("SLURM_ARRAY_TASK_MAX") +
                             ", SLURM_ARRAY_TASK_STEP=" + text("SLURM_ARRAY_TASK_STEP") +
                             ", SLURM_ARRAY_TASK_COUNT=" + text("SLURM_ARRAY_TASK_COUNT");
    const auto task = Whole(id);
    if (!task) {
        throw CliFailure(kExitBadInput, "the job array's environment (" + seen +
                                            "): the task's index is not a whole number");
    }
    const auto max = variable("SLURM_ARRAY_TASK_MAX");
    if (shardsOption) {
        const auto last = max ? Whole(*max) : std::nullopt;
        if (last && *last >= *shardsOption) {
            throw CliFailure(kExitBadInput, "the job array (" + seen + ") has tasks up to " + *max +
                                                ", but " + "--shards " +
                                                std::to_string(*shardsOption) + " numbers the " +
                                                "shards 0.." + std::to_string(*shardsOption - 1) +
                                                ": declare the array within that range");
        }
        return Checked(task, shardsOption, "the job array's environment (" + seen + ")",
                       "SLURM_ARRAY_TASK_ID=" + id + ", --shards " + std::to_string(*shardsOption));
    }
    const auto first = Whole(variable("SLURM_ARRAY_TASK_MIN").value_or(""));
    const auto last = Whole(max.value_or(""));
    const auto count = Whole(variable("SLURM_ARRAY_TASK_COUNT").value_or(""));
    const auto step = Whole(variable("SLURM_ARRAY_TASK_STEP").value_or("1"));
    const bool whole =
        first && last && count && step && *first == 0 && *step == 1 && *last + 1 == *count;
    if (!whole) {
        throw CliFailure(kExitBadInput,
                         "the job array (" + seen + ") is not the whole range 0..N-1 of its " +
                             "shards (a re-run of some tasks, or an array with gaps or a step), " +
                             "so the shard count cannot come from it: give --shards N in the " +
                             "batch script (the array's task index is the shard's index)");
    }
    return Checked(task, count, "the job array's environment (" + seen + ")",
                   "SLURM_ARRAY_TASK_ID=" + id + " of the array 0-" + *max);
}

} // namespace

std::optional<ShardChoice> ChooseShard(const std::string& shardOption,
                                       std::optional<std::size_t> shardsOption,
                                       const std::function<const char*(const char*)>& environment) {
    if (!shardOption.empty()) {
        const auto slash = shardOption.find('/');
        if (slash == std::string::npos) {
            Checked(std::nullopt, std::nullopt, "--shard " + shardOption, "");
        }
        return Checked(Whole(shardOption.substr(0, slash)), Whole(shardOption.substr(slash + 1)),
                       "--shard " + shardOption, "--shard " + shardOption);
    }
    const Variable variable = [&](const char* name) -> std::optional<std::string> {
        const char* value = environment(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    if (const auto id = variable("SLURM_ARRAY_TASK_ID")) {
        return FromJobArray(*id, shardsOption, variable);
    }
    if (const auto index = variable("JOB_COMPLETION_INDEX")) {
        if (!shardsOption) {
            throw CliFailure(kExitBadInput, "JOB_COMPLETION_INDEX is set: give the number of "
                                            "indexed jobs with --shards N");
        }
        return Checked(Whole(*index), shardsOption, "JOB_COMPLETION_INDEX=" + *index,
                       "JOB_COMPLETION_INDEX=" + *index + ", --shards " +
                           std::to_string(*shardsOption));
    }
    if (shardsOption) {
        throw CliFailure(kExitBadInput, "--shards N needs the shard's index: --shard K/N, or "
                                        "SLURM_ARRAY_TASK_ID or JOB_COMPLETION_INDEX set");
    }
    return std::nullopt;
}

} // namespace sonivera

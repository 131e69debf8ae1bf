#include "cli/map/MapShardChoice.h"

#include "cli/ExitCodes.h"

#include <charconv>

namespace sonivera {

namespace {

constexpr std::size_t kMaxShards = 100000;

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
    const auto variable = [&](const char* name) -> std::optional<std::string> {
        const char* value = environment(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    if (const auto id = variable("SLURM_ARRAY_TASK_ID")) {
        const std::string min = variable("SLURM_ARRAY_TASK_MIN").value_or("0");
        const auto count = variable("SLURM_ARRAY_TASK_COUNT");
        const auto first = Whole(min);
        const auto task = Whole(*id);
        const auto tasks = count ? Whole(*count) : std::nullopt;
        // Plain values, not optionals, past this point (the compiler cannot follow them).
        const std::size_t n = shardsOption.value_or(tasks.value_or(0));
        const bool known = task && first && *task >= *first;
        const std::size_t k = known ? *task - *first : n;
        return Checked(k, n, "the job array's environment",
                       "SLURM_ARRAY_TASK_ID=" + *id + ", SLURM_ARRAY_TASK_MIN=" + min + ", " +
                           (shardsOption ? "--shards " + std::to_string(*shardsOption)
                                         : "SLURM_ARRAY_TASK_COUNT=" + count.value_or("(unset)")));
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

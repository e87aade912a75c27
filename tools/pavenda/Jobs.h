#ifndef PAVENDA_TOOLS_JOBS_H
#define PAVENDA_TOOLS_JOBS_H

// How many threads a command uses: `--jobs N`, by default one per core.

#include <algorithm>
#include <string>
#include <thread>

#include <CLI/CLI.hpp>

namespace pavenda::tools {

/// The most threads a command starts.
inline constexpr unsigned maxJobs = 256;

/// Registers `-j,--jobs` (1 to `maxJobs`) on `command`; `jobs` stays 0 when it is not given.
inline void addJobsOption(CLI::App& command, unsigned& jobs, const std::string& description) {
  command.add_option("-j,--jobs", jobs, description)->check(CLI::Range(1U, maxJobs));
}

/// The threads to use for `jobs` as given: that number, or with 0 one per core (1 when the number
/// of cores is unknown), at most `maxJobs`.
inline unsigned jobsToUse(unsigned jobs) {
  if (jobs != 0)
    return jobs;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : std::min(cores, maxJobs);
}

} // namespace pavenda::tools

#endif

// The sub-commands of vsthost and vsthost_harness. Each takes the arguments after its name and returns the
// process exit code: 0 success, 1 failure, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int runInfo(const std::vector<std::string>& args);
int runRender(const std::vector<std::string>& args);
int runStat(const std::vector<std::string>& args);
int runTorture(const std::vector<std::string>& args);
int runSoak(const std::vector<std::string>& args);
int runEditor(const std::vector<std::string>& args);
int runRtcheck(const std::vector<std::string>& args);

}  // namespace vsthost

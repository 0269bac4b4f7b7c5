// The commands of spdtool; each takes its own arguments and returns the exit code.
#pragma once

#include <string>
#include <vector>

int RunPack(const std::vector<std::string>& vecArgs);
int RunList(const std::vector<std::string>& vecArgs);
int RunVerify(const std::vector<std::string>& vecArgs);
int RunExtract(const std::vector<std::string>& vecArgs);
int RunLog(const std::vector<std::string>& vecArgs);

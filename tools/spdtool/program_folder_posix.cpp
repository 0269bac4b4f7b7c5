// Linux names the running program's file in /proc.
#include "tools/spdtool/program_choice.h"

#include <filesystem>

std::string ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

#include "graphics/native/ModuleFolders.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    return FolderOf(std::string(path, static_cast<size_t>(n)));
}

std::string ModuleFolder()
{
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname) return std::string();
    const std::string file = info.dli_fname;
    // A program named without a path is found through /proc.
    if (file.find('/') == std::string::npos) return ProgramFolder();
    return FolderOf(file);
}

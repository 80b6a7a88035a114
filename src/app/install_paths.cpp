#include "app/install_paths.h"

#include <system_error>
#include <vector>

namespace fs = std::filesystem;

std::optional<fs::path> install_prefix_of(const fs::path& executable, const fs::path& bin_dir) {
    fs::path folder = executable.lexically_normal().parent_path();
    const fs::path wanted = bin_dir.lexically_normal();
    // Compared name by name from the end, so that bin never matches sbin or mybin.
    std::vector<fs::path> names(wanted.begin(), wanted.end());
    if (!names.empty() && names.back().empty())
        names.pop_back();  // the trailing separator of "bin/"
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (folder.filename() != *name || folder == folder.root_path())
            return std::nullopt;
        folder = folder.parent_path();
    }
    return folder;
}

std::optional<fs::path> install_prefix() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return std::nullopt;
    return install_prefix_of(executable, LUMITRA_INSTALL_BINDIR);
}

std::optional<fs::path> locale_dir() {
    std::optional<fs::path> prefix = install_prefix();
    if (prefix)
        *prefix /= LUMITRA_INSTALL_LOCALEDIR;
    return prefix;
}

std::optional<fs::path> catalogue_dir(const fs::path& build_relative) {
    if (std::optional<fs::path> installed = locale_dir())
        return installed;
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return std::nullopt;
    const fs::path built = (executable.parent_path() / build_relative).lexically_normal();
    if (!fs::is_directory(built, error))
        return std::nullopt;
    return built;
}

fs::path movie_module_file(const fs::path& build_relative) {
    if (const std::optional<fs::path> prefix = install_prefix())
        return *prefix / LUMITRA_INSTALL_MODULEDIR / LUMITRA_MOVIE_MODULE_FILE;
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return (executable.parent_path() / build_relative / LUMITRA_MOVIE_MODULE_FILE)
        .lexically_normal();
}

MineralList load_installed_mineral_list(const fs::path& build_relative) {
    if (std::optional<fs::path> prefix = install_prefix())
        return load_mineral_list(*prefix / LUMITRA_INSTALL_MINERALS);
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {{}, "the program's own folder is unknown"};
    return load_mineral_list((executable.parent_path() / build_relative).lexically_normal());
}

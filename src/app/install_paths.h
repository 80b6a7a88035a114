// Where the installed program finds the files it reads at run time (message catalogues and
// the like): under the prefix it was installed to, found from the running executable, so
// that a copy installed under /usr/local or moved whole with its prefix reads its own files,
// and never files that happen to lie in the working directory.
#pragma once

#include <filesystem>
#include <optional>

#include "model/mineral_list.h"

// The prefix of an executable installed as PREFIX/bin_dir/NAME (bin_dir relative, such as
// "bin"); none when its folder is not bin_dir, as for a program run from its build folder.
std::optional<std::filesystem::path> install_prefix_of(const std::filesystem::path& executable,
                                                       const std::filesystem::path& bin_dir);

// The running program's prefix, for the folders this build installs to.
std::optional<std::filesystem::path> install_prefix();

// The folder of the installed message catalogues (PREFIX/share/locale for this build).
std::optional<std::filesystem::path> locale_dir();

// The folder of the message catalogues the running program reads: the installed ones under
// its prefix, else, for a program run from the build tree, the ones the build made at
// build_relative from the program's own folder (never from the working directory). None when
// neither is there.
std::optional<std::filesystem::path> catalogue_dir(const std::filesystem::path& build_relative);

// The module of FFmpeg's encoders the running program loads: the installed one under its
// prefix, else, for a program run from the build tree, the one the build made at
// build_relative from the program's own folder.
std::filesystem::path movie_module_file(const std::filesystem::path& build_relative);

// The mineral list the running program reads: PREFIX/share/lumitra/minerals.tsv when
// installed, else the build tree's copy at build_relative from the program's own folder. The
// list carries the reason when neither could be read.
MineralList load_installed_mineral_list(const std::filesystem::path& build_relative);

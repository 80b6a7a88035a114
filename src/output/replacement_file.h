// The one way the program writes a file. The new content goes to a temporary file created
// exclusively in the folder of the file it will replace, and takes that file's place in one
// rename only once every write, flush and close has succeeded. Whatever fails on the way, the
// file that was there stays as it was and the temporary is gone. A path that is a symbolic
// link keeps the link: the file it points to is replaced. Only regular files are replaced;
// a directory, device or pipe in the way is an error.
//
// Failures are errno values: 0 while all is well, else the system's reason of the step that
// failed (EISDIR or EEXIST for something other than a regular file in the way).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// What a save to path will replace: path itself, or the file its symbolic links end at. A save
// resolves it once and hands it on, so that every step works on the same file.
struct SaveTarget {
    std::string file;    // the file that receives the content (it need not exist yet)
    std::string folder;  // its folder, "." for a name without one
    bool exists = false;
    int error = 0;
    std::string refused_link;  // a link not followed for its owner (error is EACCES)
};
SaveTarget resolve_save_target(const std::string& path);

// Whether a file can be saved at the target, without writing anything: it is a regular file
// we may write, or does not exist yet, and its folder exists and is writable. Returns 0 or
// the errno that the save would meet.
int check_save_target(const SaveTarget& target);

// One line for a user on why a save to path (resolved as target) failed with error: the kind
// of thing in the way (a FIFO, a device), a link that was not followed, or the system's reason.
std::string describe_save_error(const std::string& path, const SaveTarget& target, int error);

// Removes the temporaries that killed runs of this program left in the folder: only ours by
// name, only the user's own, only those whose creating process is gone and that are older
// than a minute. Nothing else is touched. Every save calls it for the folder it writes in.
void remove_stale_temporaries(const std::string& folder);

class ReplacementFile {
  public:
    // Creates the temporary for the path, in the target's folder or, when given, in
    // temporary_folder (a private folder beside the target, so that the rename stays on one
    // file system). A failure is kept in error(); every later call then does nothing.
    explicit ReplacementFile(const std::string& path, const std::string& temporary_folder = {});
    // The same for a target already resolved.
    explicit ReplacementFile(SaveTarget target, const std::string& temporary_folder = {});
    // Removes the temporary unless commit() succeeded.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int error() const { return error_; }
    bool ok() const { return error_ == 0; }
    const std::string& target() const { return target_.file; }

    // The temporary as a buffered stream (libjpeg's and libpng's stdio destinations), or
    // nullptr after a failure. Its write errors are found at commit().
    std::FILE* stream() const { return stream_; }
    // The temporary's name, for a library or a child process that opens its output by name
    // and writes it itself before commit().
    const std::string& temporary_path() const { return temporary_; }

    // Appends to the temporary; false (and error() set) when the write failed.
    bool write(const void* data, std::size_t size);
    // Records a failure that a library writing the temporary reported.
    void fail(int error);

    // Flushes and closes the temporary (syncing it first when it replaces a file) and renames
    // it over the target. Returns 0 or the errno of the failure. A failure of the rename
    // itself keeps the finished temporary, so that commit() may be tried again.
    int commit();
    // The finished temporary is still there, ready for another commit().
    bool pending() const;

  private:
    bool is_ours(const std::string& name) const;

    SaveTarget target_;
    std::string temporary_;
    std::FILE* stream_ = nullptr;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    int error_ = 0;
    bool committed_ = false;
};

// Replaces the file at the path by the text. Returns 0 or the errno of the failure.
int replace_file_contents(const std::string& path, std::string_view contents);

// A folder of our own (mkdtemp, mode 0700, named as the temporaries are) in a given folder, for
// temporaries that another process reads or writes by name. Its path is absolute. It goes, with
// everything in it, when the object does or at remove().
class PrivateFolder {
  public:
    explicit PrivateFolder(const std::string& in_folder);
    ~PrivateFolder() { remove(); }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    int error() const { return error_; }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void remove();

  private:
    std::string path_;
    int error_ = 0;
};

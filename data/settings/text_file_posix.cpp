#include "data/settings/text_file.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orvanta::ini {
namespace fs = std::filesystem;
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now, reporting whether the last writes made it.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The rename that puts a new file in place must itself reach the disk, or a power loss can bring back
// the folder without it.
void SyncFolder(const std::string& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) (void)::fsync(dir.get());
}

// Renaming over a symbolic link would replace the link itself; the user meant the file behind it.
std::optional<std::string> WriteTarget(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) return path;
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) return std::nullopt;
    return resolved.string();
}

} // namespace

TextRead ReadTextFile(const std::string& path) {
    // Non-blocking, so a pipe at the path answers at once instead of waiting for a writer.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) return {TextRead::Missing, {}};
        WarnOnce(path, std::strerror(errno));
        return {TextRead::Refused, {}};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        WarnOnce(path, "not a regular file");
        return {TextRead::Refused, {}};
    }
    if (st.st_size > static_cast<off_t>(kMaxTextFileSize)) {
        WarnOnce(path, "larger than 1 MiB");
        return {TextRead::Refused, {}};
    }
    // The size can change while we read: the limit holds for what is read, not for what stat said.
    std::string content(kMaxTextFileSize + 1, '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        ssize_t got = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            WarnOnce(path, std::strerror(errno));
            return {TextRead::Refused, {}};
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > kMaxTextFileSize) {
        WarnOnce(path, "larger than 1 MiB");
        return {TextRead::Refused, {}};
    }
    content.resize(filled);
    return {TextRead::Content, std::move(content)};
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReplaceWholeFile(const std::string& path, std::string_view content) {
    const std::optional<std::string> target = WriteTarget(path);
    if (!target) return false;

    struct stat old {};
    const bool exists = ::lstat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists) {
        // A file nobody may write was made read-only on purpose, even for an administrator.
        if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0) return false;
        // The rename needs only the folder's permission; whether the file may change is the file's own.
        Descriptor probe(::open(target->c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY));
        if (!probe) return false;
    }

    const std::string temporary = *target + TemporarySuffix();
    // Private until complete: the copy may hold the stored password form.
    Descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out) return false;
    if (!WriteAll(out.get(), content) || ::fsync(out.get()) != 0 ||
        ::rename(temporary.c_str(), target->c_str()) != 0) {
        (void)::unlink(temporary.c_str());
        return false;
    }
    // The replacement keeps the access rights the user gave the old file, given only once it is in
    // place, so a copy a kill leaves behind is never readable by others.
    if (exists) (void)::fchmod(out.get(), old.st_mode & 07777);
    (void)out.close(); // the content reached the disk already
    SyncFolder(FolderOf(*target));
    return true;
}

bool PlaceNewFile(const std::string& path, std::string_view content) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
    const std::string temporary = path + TemporarySuffix();
    Descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out) return false;
    bool written = WriteAll(out.get(), content) && ::fsync(out.get()) == 0;
    written = out.close() && written;
    // A second name, unlike a rename, is refused when the name is taken: a file that appeared meanwhile
    // stays as it is.
    const bool placed = written && ::link(temporary.c_str(), path.c_str()) == 0;
    (void)::unlink(temporary.c_str());
    if (placed) SyncFolder(FolderOf(path));
    return placed;
}

void RemoveStaleTemporaries(const std::string& path) {
    const std::optional<std::string> target = WriteTarget(path);
    if (!target) return;
    const std::string folder = FolderOf(*target);
    const std::string name = NameOf(*target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const uid_t self = ::getuid();
    while (dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryNameOf(entry->d_name, name)) continue;
        // Only plain files of this user: a name alone does not make a file ours.
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_uid == self) (void)::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace orvanta::ini

// Whether two names reach the same file: through symbolic links and hard links alike.
#pragma once

#include <optional>
#include <string>
#include <sys/stat.h>

namespace extractcli {

struct FileIdentity {
    dev_t device;
    ino_t inode;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

inline std::optional<FileIdentity> identityOf(const struct stat& info) {
    return FileIdentity{info.st_dev, info.st_ino};
}

// The file `path` names, following links; nothing when it does not exist.
inline std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? identityOf(info) : std::nullopt;
}

inline std::optional<FileIdentity> fileIdentity(int descriptor) {
    struct stat info {};
    return ::fstat(descriptor, &info) == 0 ? identityOf(info) : std::nullopt;
}

} // namespace extractcli

// Temporary file + fsync + rename in the same folder; the folder is synced too so that the
// rename itself survives a crash.
#include "AtomicWrite.h"

#include "SyncedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace extractcli {
namespace {

constexpr const char* kTempSuffix = ".tmp-XXXXXX";
constexpr const char* kCannotCreateTemp = "cannot create a temporary file";
constexpr const char* kCannotWriteTemp = "cannot write the temporary file";
constexpr const char* kCannotSetMode = "cannot set the temporary file's permissions";
constexpr const char* kCannotFlushTemp = "cannot flush the temporary file";
constexpr const char* kCannotCloseTemp = "cannot close the temporary file";
constexpr const char* kCannotReplace = "cannot replace the file";

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

std::string writeFileAtomically(const std::string& path, const TextProducer& produce, mode_t mode) {
    const std::filesystem::path target(path);
    const std::string folder =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    std::string temp = folder;
    temp.append("/.").append(target.filename().string()).append(kTempSuffix);
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return systemError(kCannotCreateTemp);
    std::string error;
    produce([&](std::string_view piece) {
        if (error.empty() && !exports::writeAll(fd, piece))
            error = systemError(kCannotWriteTemp);
    });
    if (error.empty() && ::fchmod(fd, mode) != 0)
        error = systemError(kCannotSetMode);
    if (error.empty() && ::fsync(fd) != 0)
        error = systemError(kCannotFlushTemp);
    if (::close(fd) != 0 && error.empty())
        error = systemError(kCannotCloseTemp);
    if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
        error = systemError(kCannotReplace);
    if (!error.empty()) {
        ::unlink(temp.c_str());
        return error;
    }
    exports::syncFolder(folder);
    return {};
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace extractcli

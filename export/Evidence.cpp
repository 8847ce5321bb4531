// A folder cannot be replaced atomically, so the bundle is never written in place: it is built
// under a hidden temporary name beside its final one and renamed once every byte is on disk.
#include "Evidence.h"

#include "Exports.h"
#include "SyncedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace exports {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTempPrefix = "/.";
constexpr std::string_view kTempSuffix = ".tmp-XXXXXX";
constexpr std::string_view kReportFile = "report.txt";
constexpr std::string_view kRouteFile = "route.gpx";
constexpr std::string_view kManifestFile = "manifest.json";
constexpr std::string_view kSumsFile = "SHA256SUMS";
constexpr std::string_view kCsvSuffix = "_sei.csv";
constexpr mode_t kFileMode = 0666;
constexpr mode_t kFolderMode = 0777;

constexpr const char* kCannotCreateFolder = "cannot create the output folder: ";
constexpr const char* kCannotCreateTemp = "cannot create a temporary folder: ";
constexpr const char* kCannotWrite = "cannot write ";
constexpr const char* kCannotFinish = "cannot finish the bundle: ";
constexpr const char* kAlreadyThere = "already exists";

std::string systemError(std::string_view what, std::string_view name = {}) {
    std::string text(what);
    if (!name.empty())
        text.append(name).append(": ");
    return text.append(std::strerror(errno));
}

bool writeSynced(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 && written)
        return false;
    errno = savedErrno;
    return written;
}

// One line of SHA256SUMS. A name with a backslash or line feed is escaped and the line marked
// with a leading backslash, as sha256sum itself writes it.
void appendSumLine(std::string& sums, std::string_view hash, std::string_view name) {
    const bool escaped = name.find_first_of("\\\n") != std::string_view::npos;
    if (escaped)
        sums += '\\';
    sums.append(hash).append("  ");
    for (const char c : name) {
        if (escaped && c == '\\')
            sums += "\\\\";
        else if (escaped && c == '\n')
            sums += "\\n";
        else
            sums += c;
    }
    sums += '\n';
}

std::string textHash(std::string_view text) {
    return sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Renames without ever replacing what is there; falls back to a plain rename, which refuses a
// folder that holds anything, where the file system cannot tell.
bool renameNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

mode_t withoutUmask(mode_t mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}

} // namespace

std::string evidenceFolder(const ClipRecord& clip, const std::string& outputFolder) {
    const fs::path parent = outputFolder.empty() ? fs::path(".") : fs::path(outputFolder);
    return (parent / (fs::path(clip.fileName).stem().string() + std::string(kEvidenceSuffix)))
        .string();
}

std::string writeEvidence(const ClipRecord& clip, const std::string& outputFolder,
                          std::int64_t createdSeconds) {
    std::error_code ec;
    fs::create_directories(outputFolder, ec);
    if (ec)
        return kCannotCreateFolder + ec.message();
    const std::string target = evidenceFolder(clip, outputFolder);
    if (fs::exists(fs::symlink_status(target)))
        return std::string(kAlreadyThere);

    const std::string csv = clip.output.text() + "\n";
    const std::string report = clip.output.report() + "\n";
    const std::string gpx =
        render(Format::Gpx, clipTelemetry(analysis::TelemetryTable::fromCsv(clip.output.text()),
                                          clip.fileName, clip.duration));
    const std::string manifest = manifestJson(clip, createdSeconds);
    const std::string csvName = fs::path(clip.fileName).stem().string() + std::string(kCsvSuffix);
    const std::vector<std::pair<std::string_view, std::string_view>> files = {
        {kReportFile, report}, {csvName, csv}, {kRouteFile, gpx}, {kManifestFile, manifest}};
    std::string sums;
    for (const auto& [name, content] : files)
        appendSumLine(sums, textHash(content), name);

    std::string temp = fs::path(target).parent_path().string();
    temp.append(kTempPrefix).append(fs::path(target).filename().string()).append(kTempSuffix);
    if (!::mkdtemp(temp.data()))
        return systemError(kCannotCreateTemp);
    std::string error;
    for (const auto& [name, content] : files) {
        if (!writeSynced(temp + "/" + std::string(name), content)) {
            error = systemError(kCannotWrite, name);
            break;
        }
    }
    if (error.empty() && !writeSynced(temp + "/" + std::string(kSumsFile), sums))
        error = systemError(kCannotWrite, kSumsFile);
    if (error.empty() && (::chmod(temp.c_str(), withoutUmask(kFolderMode)) != 0 ||
                          !syncFolder(temp) || !renameNew(temp, target)))
        error = errno == EEXIST || errno == ENOTEMPTY ? std::string(kAlreadyThere)
                                                      : systemError(kCannotFinish);
    if (!error.empty()) {
        fs::remove_all(temp, ec);
        return error;
    }
    syncFolder(fs::path(target).parent_path().string());
    return {};
}

} // namespace exports

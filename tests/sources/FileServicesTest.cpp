// File services, private staging, export writes and the small text rules the clip sources
// rely on.
#include "FileServices.h"
#include "CsvExport.h"
#include "MetadataOutcome.h"
#include "SourcesTestSupport.h"
#include "Staging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace sourcestest;

namespace {

// Captures what the process writes to standard output while `action` runs.
QString captureStdout(const std::function<void()>& action) {
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(capture.handle(), STDOUT_FILENO);
    action();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    return QString::fromUtf8(readBytes(capture.fileName()));
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 07777;
}

// Whether the unprivileged user "nobody" can read `path`; nothing when that cannot be tried.
std::optional<bool> nobodyCanRead(const QString& path) {
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (geteuid() != 0 || setpriv.isEmpty())
        return std::nullopt;
    return QProcess::execute(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", "test",
                                       "-r", path}) == 0;
}

} // namespace

TEST(CsvExportName, ProposedNames) {
    EXPECT_EQ(csvexport::proposedFileName("a.b.c.mp4") + csvexport::proposedFileName("clip"),
              "a.b.c_sei.csvclip_sei.csv");
}

TEST(CsvHasMetadata, FirstNonEmptyLineDecides) {
    struct Case {
        QString text;
        bool hasMetadata;
    };
    const QString notice = QString::fromUtf8(MetadataExtractor::kNoMetadataNotice);
    for (const Case& c : {
             Case{notice, false},
             Case{"\n\r\n\u2028" + notice, false},
             Case{"version,frame_seq_no\n1,2\n", true},
             // A first line of blanks is not empty: it trims to nothing, which is not the notice.
             Case{"\t\n\nNo SEI metadata found", true},
         })
        EXPECT_EQ(csvHasMetadata(c.text), c.hasMetadata) << c.text.toStdString();
}

class StagingTest : public IsolatedTempTest {
protected:
    std::optional<QUrl> stage(const QString& source) {
        const std::atomic<bool> running{false};
        const std::optional<QUrl> copy = staging::reserveCopy();
        if (!copy || !staging::copyClip(fileUrl(source), *copy, {}, running))
            return std::nullopt;
        return copy;
    }
};

TEST_F(StagingTest, CopiesArePrivateFromTheStartAndNewEachTime) {
    writeBytes(dir() + "/clip.mp4", "content");
    // Opened up to everyone, as the test can only prove the modes keep others out.
    chmod(QFile::encodeName(dir()).constData(), 0755);
    // A folder an earlier version left open is narrowed; the umask plays no part.
    QDir().mkpath(staging::stagingFolder());
    chmod(QFile::encodeName(staging::stagingFolder()).constData(), 0755);
    const mode_t previousMask = umask(0);
    const auto first = stage(dir() + "/clip.mp4");
    const auto second = stage(dir() + "/clip.mp4");
    umask(previousMask);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(staging::stagingFolder(), dir() + "/VeldrinDrops");
    EXPECT_EQ(modeOf(staging::stagingFolder()), 0700u);
    const QRegularExpression name(
        "^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.mp4$");
    ASSERT_EQ(stagedCopies().size(), 2);
    for (const QString& copy : stagedCopies()) {
        EXPECT_TRUE(name.match(copy).hasMatch()) << copy.toStdString();
        EXPECT_EQ(readBytes(staging::stagingFolder() + "/" + copy), "content");
        EXPECT_EQ(modeOf(staging::stagingFolder() + "/" + copy), 0600u);
    }
    // The same read by another user: the clip itself yes, its copy no.
    if (const auto readable = nobodyCanRead(dir() + "/clip.mp4")) {
        EXPECT_TRUE(*readable);
        EXPECT_EQ(nobodyCanRead(first->toLocalFile()), false);
    }
}

TEST_F(StagingTest, ALinkOrAnotherUsersFolderIsRefusedAndLeftAlone) {
    const QString folder = staging::stagingFolder();
    QDir().mkpath(dir() + "/elsewhere");
    const mode_t elsewhere = modeOf(dir() + "/elsewhere");
    ASSERT_TRUE(QFile::link(dir() + "/elsewhere", folder));
    bool refused = false;
    const QString out = captureStdout([&] { EXPECT_FALSE(staging::reserveCopy(&refused)); });
    EXPECT_EQ(std::tuple(refused, out.startsWith("Drop staging failed: "), out.count('\n'),
                         modeOf(dir() + "/elsewhere")),
              std::tuple(true, true, 1, elsewhere))
        << out.toStdString();

    // A file where the folder should be is a failure, not a refusal.
    QFile::remove(folder);
    writeBytes(folder, "x");
    EXPECT_FALSE(staging::reserveCopy(&refused) || refused);

    if (geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    QFile::remove(folder);
    QDir().mkdir(folder);
    ASSERT_EQ(chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
    const mode_t before = modeOf(folder);
    EXPECT_FALSE(staging::reserveCopy(&refused));
    EXPECT_TRUE(refused);
    EXPECT_EQ(modeOf(folder), before);
}

TEST_F(StagingTest, ACancelledOrFailedCopyLeavesNoFile) {
    // Three chunks: cancelled after the first.
    writeBytes(dir() + "/clip.mp4", QByteArray(3 << 20, 'x'));
    const auto copy = staging::reserveCopy();
    ASSERT_TRUE(copy);
    std::atomic<bool> cancelled{false};
    QList<int> percents;
    const QString out = captureStdout([&] {
        EXPECT_FALSE(staging::copyClip(
            fileUrl(dir() + "/clip.mp4"), *copy,
            [&](int percent) {
                percents.append(percent);
                cancelled = true;
            },
            cancelled));
    });
    EXPECT_EQ(percents, QList<int>{33});
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(copy->toLocalFile()));

    EXPECT_FALSE(stage(dir() + "/missing.mp4"));
    EXPECT_TRUE(stagedCopies().isEmpty());
}

TEST_F(StagingTest, CleanUpRemovesOnlyOldCopies) {
    writeBytes(dir() + "/clip.mp4", "content");
    const auto old = stage(dir() + "/clip.mp4");
    const auto fresh = stage(dir() + "/clip.mp4");
    ASSERT_TRUE(old && fresh);
    QFile oldFile(old->toLocalFile());
    ASSERT_TRUE(oldFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(oldFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime));
    oldFile.close();

    EXPECT_EQ(staging::removeCopiesModifiedBefore(QDateTime::currentDateTime().addDays(-1)), 1);
    EXPECT_FALSE(QFileInfo::exists(old->toLocalFile()));
    EXPECT_TRUE(QFileInfo::exists(fresh->toLocalFile()));

    // Only copies inside the staging folder are ever removed one by one.
    staging::removeStagedCopy(fileUrl(dir() + "/clip.mp4"));
    EXPECT_TRUE(QFileInfo::exists(dir() + "/clip.mp4"));
}

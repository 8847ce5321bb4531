// File services, staging, export writes, the pending external file and the small text rules
// the clip sources rely on.
#include "FileServices.h"
#include "CsvExport.h"
#include "MetadataOutcome.h"
#include "PendingExternalFile.h"
#include "SourcesTestSupport.h"
#include "Staging.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

using namespace sourcestest;

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    return readAll(capture.fileName());
}

} // namespace

class FileServicesTest : public IsolatedTempTest {};

TEST_F(FileServicesTest, FileSizeIsAbsentForMissingFilesAndFolders) {
    writeBytes(dir() + "/five.bin", "12345");
    writeBytes(dir() + "/empty.bin", "");
    EXPECT_EQ(FileServices::fileSize(fileUrl(dir() + "/five.bin")), 5);
    EXPECT_EQ(FileServices::fileSize(fileUrl(dir() + "/empty.bin")), 0);
    EXPECT_EQ(FileServices::fileSize(fileUrl(dir() + "/missing.bin")), std::nullopt);
    EXPECT_EQ(FileServices::fileSize(fileUrl(dir())), std::nullopt);
}

TEST_F(FileServicesTest, DeepEnumerationSkipsHiddenEntriesAndHiddenFolders) {
    for (const char* name : {"a.mp4", ".x.mp4", "sub/b.mp4", "sub/deeper/c.txt", ".hidden/d.mp4",
                             "sub/.inner/e.mp4", "sub/.f"})
        writeBytes(dir() + "/root/" + name, "x");
    const auto entries = FileServices::enumerateDeep(fileUrl(dir() + "/root"));
    ASSERT_TRUE(entries);
    QStringList names;
    for (const QUrl& url : *entries)
        names.append(url.toLocalFile().mid(dir().size() + int(strlen("/root/"))));
    names.sort();
    EXPECT_EQ(names, QStringList({"a.mp4", "sub", "sub/b.mp4", "sub/deeper", "sub/deeper/c.txt"}));

    EXPECT_FALSE(FileServices::enumerateDeep(fileUrl(dir() + "/missing")));
    EXPECT_FALSE(FileServices::enumerateDeep(fileUrl(dir() + "/root/a.mp4")));
}

TEST_F(FileServicesTest, AtomicWriteIsByteIdenticalUtf8) {
    const QString text = QString::fromUtf8("a,b\r\nä,€\nlast line without break");
    const QString path = dir() + "/out.csv";
    ASSERT_TRUE(FileServices::writeTextAtomically(text, fileUrl(path)));
    EXPECT_EQ(readBytes(path), text.toUtf8());
}

TEST_F(FileServicesTest, FailedWritesLeaveTheDestinationUntouched) {
    // Folder missing.
    EXPECT_FALSE(FileServices::writeTextAtomically("x", fileUrl(dir() + "/none/out.csv")));
    EXPECT_FALSE(QFileInfo::exists(dir() + "/none"));

    // Destination is a folder with content.
    writeBytes(dir() + "/folder.csv/keep.txt", "kept");
    QString error;
    EXPECT_FALSE(FileServices::writeTextAtomically("x", fileUrl(dir() + "/folder.csv"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir() + "/folder.csv").isDir());
    EXPECT_EQ(readAll(dir() + "/folder.csv/keep.txt"), "kept");
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(UrlParts, NamesAndExtensions) {
    struct Case {
        const char* name;
        const char* extension;
        const char* withoutExtension;
    };
    for (const Case& c :
         {Case{"front.mp4", "mp4", "front"}, Case{"a.b.MP4", "MP4", "a.b"},
          Case{"noext", "", "noext"}, Case{".hidden", "", ".hidden"},
          Case{"/x/y.z/clip.mov", "mov", "/x/y.z/clip"}, Case{"/x/y.z/clip", "", "/x/y.z/clip"}}) {
        EXPECT_EQ(FileServices::pathExtension(c.name), c.extension) << c.name;
        EXPECT_EQ(FileServices::deletingPathExtension(c.name), c.withoutExtension) << c.name;
    }
    EXPECT_EQ(FileServices::lastPathComponent(QUrl::fromLocalFile("/a/Clips/")), "Clips");
    EXPECT_EQ(FileServices::lastPathComponent(QUrl::fromLocalFile("/a/b c.mp4")), "b c.mp4");
    EXPECT_EQ(FileServices::fullPath(QUrl("file:///a/b%20c.mp4")), "/a/b c.mp4");
}

TEST(CsvExportName, ProposedNames) {
    EXPECT_EQ(CsvExport::proposedFileName("front.mp4"), "front_sei.csv");
    EXPECT_EQ(CsvExport::proposedFileName("2024-01-01_10-00-00-front.mp4"),
              "2024-01-01_10-00-00-front_sei.csv");
    EXPECT_EQ(CsvExport::proposedFileName("a.b.c.mp4"), "a.b.c_sei.csv");
    EXPECT_EQ(CsvExport::proposedFileName("clip"), "clip_sei.csv");
}

TEST(CsvHasMetadata, FirstNonEmptyLineDecides) {
    struct Case {
        QString text;
        bool hasMetadata;
    };
    const QString notice = QString::fromUtf8(MetadataExtractor::kNoMetadataNotice);
    for (const Case& c : {
             Case{notice, false},
             Case{"   " + notice, false},
             Case{"\n\r\n\u2028" + notice, false},
             Case{"no SEI metadata found", true},
             Case{"version,frame_seq_no\n1,2\n", true},
             Case{"", true},
             // A first line of blanks is not empty: it trims to nothing, which is not the notice.
             Case{"\t\n\nNo SEI metadata found", true},
             Case{"x\nNo SEI metadata found", true},
         })
        EXPECT_EQ(csvHasMetadata(c.text), c.hasMetadata) << c.text.toStdString();
}

TEST(PendingExternalFileSlot, LaterHandOverReplacesAndTakeClears) {
    EXPECT_EQ(PendingExternalFile::take(), std::nullopt);
    PendingExternalFile::set(QUrl::fromLocalFile("/a.mp4"));
    PendingExternalFile::set(QUrl::fromLocalFile("/b.mp4"));
    EXPECT_EQ(PendingExternalFile::take(), QUrl::fromLocalFile("/b.mp4"));
    EXPECT_EQ(PendingExternalFile::take(), std::nullopt);
}

class StagingTest : public IsolatedTempTest {};

TEST_F(StagingTest, EachStagingMakesANewUpperCaseUuidCopy) {
    writeBytes(dir() + "/clip.mp4", "content");
    const auto first = Staging::stageClip(fileUrl(dir() + "/clip.mp4"));
    const auto second = Staging::stageClip(fileUrl(dir() + "/clip.mp4"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(Staging::stagingFolder(), dir() + "/VeldrinDrops");
    const QRegularExpression name(
        "^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.mp4$");
    for (const QString& copy : stagedCopies()) {
        EXPECT_TRUE(name.match(copy).hasMatch()) << copy.toStdString();
        EXPECT_EQ(readBytes(Staging::stagingFolder() + "/" + copy), "content");
    }
    EXPECT_EQ(stagedCopies().size(), 2);
}

TEST_F(StagingTest, FailureWritesOneLineToStandardOutput) {
    writeBytes(dir() + "/clip.mp4", "content");
    writeBytes(Staging::stagingFolder(), "a file where the folder should be");
    std::optional<QUrl> staged;
    const QString out =
        captureStdout([&] { staged = Staging::stageClip(fileUrl(dir() + "/clip.mp4")); });
    EXPECT_FALSE(staged);
    EXPECT_TRUE(out.startsWith("Drop staging failed: ")) << out.toStdString();
    EXPECT_EQ(out.count('\n'), 1);

    const QString missing = captureStdout([&] {
        QFile::remove(Staging::stagingFolder());
        staged = Staging::stageClip(fileUrl(dir() + "/missing.mp4"));
    });
    EXPECT_FALSE(staged);
    EXPECT_TRUE(missing.startsWith("Drop staging failed: ")) << missing.toStdString();
}

TEST_F(StagingTest, CleanUpRemovesOnlyOldCopies) {
    writeBytes(dir() + "/clip.mp4", "content");
    const auto old = Staging::stageClip(fileUrl(dir() + "/clip.mp4"));
    const auto fresh = Staging::stageClip(fileUrl(dir() + "/clip.mp4"));
    ASSERT_TRUE(old && fresh);
    QFile oldFile(old->toLocalFile());
    ASSERT_TRUE(oldFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(oldFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime));
    oldFile.close();

    EXPECT_EQ(Staging::removeCopiesModifiedBefore(QDateTime::currentDateTime().addDays(-1)), 1);
    EXPECT_FALSE(QFileInfo::exists(old->toLocalFile()));
    EXPECT_TRUE(QFileInfo::exists(fresh->toLocalFile()));

    // Only copies inside the staging folder are ever removed one by one.
    Staging::removeStagedCopy(fileUrl(dir() + "/clip.mp4"));
    EXPECT_TRUE(QFileInfo::exists(dir() + "/clip.mp4"));
}

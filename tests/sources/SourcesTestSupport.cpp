#include "SourcesTestSupport.h"

#include "Staging.h"
#include "TestClips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace sourcestest {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString makeClip(const QString& path, const std::vector<std::string>& extraArgs) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::vector<std::string> args{"--frames", "20", "--size", "64x48"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    testclips::generate(path.toStdString(), args);
    return path;
}

QStringList stagedCopies() {
    return QDir(staging::stagingFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QUrl fileUrl(const QString& path) {
    return QUrl::fromLocalFile(path);
}

void IsolatedTempTest::SetUp() {
    previousCacheHome_ = qgetenv("XDG_CACHE_HOME");
    dir_ = QString::fromStdString(testclips::makeTempDir());
    qputenv("XDG_CACHE_HOME", dir_.toUtf8());
}

void IsolatedTempTest::TearDown() {
    // Let extractions still running finish before their folder goes away.
    QTest::qWait(0);
    if (previousCacheHome_.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", previousCacheHome_);
}

} // namespace sourcestest

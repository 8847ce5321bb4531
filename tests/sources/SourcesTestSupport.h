// Shared helpers of the clip-source tests: an isolated folder per test that is also its cache
// folder (so the staging folder is the test's own), waits on the event loop, real clips.
#pragma once

#include "ClipSources.h"
#include "ContentView.h"
#include "Settings.h"

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace sourcestest {

inline constexpr int kDefaultWaitMs = 60000;

// Runs the event loop until `condition` holds or `timeoutMs` passed; returns the condition.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = kDefaultWaitMs);

// Writes `bytes` to `path`, creating parent folders.
void writeBytes(const QString& path, const QByteArray& bytes);

// The file's bytes, or none when it cannot be read.
QByteArray readBytes(const QString& path);

// A short real clip with telemetry (or with extra generator options) at `path`.
QString makeClip(const QString& path, const std::vector<std::string>& extraArgs = {});

// The staged copies now in the staging folder (file names).
QStringList stagedCopies();

QUrl fileUrl(const QString& path);

// Gives every test its own XDG_CACHE_HOME, hence its own staging folder.
class IsolatedTempTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QString dir() const { return dir_; }

private:
    QString dir_;
    QByteArray previousCacheHome_;
};

// A window's state and its clip sources, with the batch filter off, in an isolated cache.
class SourcesTest : public IsolatedTempTest {
protected:
    void SetUp() override {
        IsolatedTempTest::SetUp();
        view_ = std::make_unique<ContentView>();
        Settings::instance()->setOnlyWithMetadata(false);
        sources_ = std::make_unique<ClipSources>(*view_);
    }
    void TearDown() override {
        sources_->batch()->setShowOnlyMetadataClips(false);
        sources_.reset();
        view_.reset();
        IsolatedTempTest::TearDown();
    }
    // Chooses a folder and waits until its clips are listed.
    bool loadFolder(const QString& folder) {
        QSignalSpy listed(sources_.get(), &ClipSources::folderListed);
        sources_->loadFolder(QUrl::fromLocalFile(folder));
        return listed.wait();
    }
    // Waits until no scan and no extraction runs.
    bool idle() {
        return waitFor([&] {
            return !sources_->batch()->isScanningFolderMetadata() && !view_->load()->isExtracting();
        });
    }
    // Loads one clip and waits until it is applied.
    bool loadClip(const QString& path) {
        return sources_->loadClip(fileUrl(path), false) && idle();
    }
    std::unique_ptr<ContentView> view_;
    std::unique_ptr<ClipSources> sources_;
};

} // namespace sourcestest

// Points every map in this test program at a closed local port before any test runs, so no
// test can fetch tiles from the internet; tile tests use their own local server.
#include <QByteArray>
#include <QtGlobal>

namespace {
const bool kTilesOffline =
    qputenv("VELDRIN_TILE_URL", QByteArray("http://127.0.0.1:9/{z}/{x}/{y}.png"));
} // namespace

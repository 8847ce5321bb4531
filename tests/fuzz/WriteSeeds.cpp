// Writes synthetic fuzz seeds: record payloads for the decoder, and small hand-framed clips
// (extended sizes, open-ended and cut mdat, escaped records, failing units) for the buffer target.
// Clips with real H.264 come from the clip generator.
#include "ClipBytes.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace clipbytes;

namespace {

bool write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s RECORD_DIR CLIP_DIR\n", argv[0]);
        return 2;
    }
    const std::string records = argv[1], clips = argv[2];
    const std::vector<Bytes> payloads = {
        minimalRecord(7),
        fullRecord(123456),
        concat({fullRecord(1), key(17, 2), varint(3), Bytes{1, 2, 3}, key(40, 5), Bytes(4, 0)}),
        concat({varintField(1, ~0ull), varintField(2, 9), varintField(10, 3), varintField(3, 0)}),
        concat({fixedField(4, 1e-5f), fixedField(11, -0.0), varintField(1, 1), varintField(3, 2)}),
    };
    bool ok = true;
    for (std::size_t i = 0; i < payloads.size(); ++i)
        ok &= write(records + "/record-" + std::to_string(i), payloads[i]);

    const Bytes sei = block(seiUnit(fullRecord(5), 2));
    const Bytes escaped =
        block(seiUnit(concat({minimalRecord(0), key(20, 2), varint(4), Bytes(4, 0)})));
    const Bytes picture = block({0x65, 0x88, 0x00, 0x00, 0x03, 0x01});
    const std::vector<Bytes> framed = {
        clip({sei, picture, escaped, picture}),
        concat({ftyp(), atom("free", Bytes(3, 0)), rawAtom(1, "mdat", be64(16 + sei.size())), sei}),
        concat(
            {ftyp(), rawAtom(0, "mdat"), sei, block({0x06, 0x05, 0x01, 0x42, 0x42}), Bytes(2, 0)}),
        concat({ftyp(), atom("mdat", concat({block({0x26, 0x05, 0x00, 0x69, 0x80}),
                                             block({0x06, 0x04, 0x01})}))}),
        // Cut short inside its second telemetry unit, as when a recording loses power.
        concat({ftyp(), rawAtom(std::uint32_t(8 + 3 * sei.size()), "mdat"), sei, picture,
                Bytes(sei.begin(), sei.begin() + std::ptrdiff_t(sei.size() / 2))}),
    };
    for (std::size_t i = 0; i < framed.size(); ++i)
        ok &= write(clips + "/framed-" + std::to_string(i) + ".mp4", framed[i]);
    return ok ? 0 : 1;
}

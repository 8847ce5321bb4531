/* The floor for veldrin-extract: map the clip, find the media data, walk its length-prefixed
 * blocks and copy every SEI unit out once. No emulation-prevention pass, no decoding, no CSV.
 * Prints the number of SEI units and their bytes so the work cannot be optimised away. */
#define _POSIX_C_SOURCE 200809L

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kSeiNalType = 6, kNalTypeMask = 0x1f, kLengthBytes = 4 };

static uint32_t be32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

static uint64_t be64(const uint8_t* p) {
    return (uint64_t)be32(p) << 32 | be32(p + 4);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bare_walk CLIP\n");
        return 2;
    }
    const int fd = open(argv[1], O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || st.st_size == 0) {
        perror(argv[1]);
        return 1;
    }
    const uint64_t size = (uint64_t)st.st_size;
    const uint8_t* file = mmap(NULL, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (file == MAP_FAILED) {
        perror("mmap");
        return 1;
    }

    uint64_t pos = 0, mdat = 0, mdatSize = 0;
    while (size - pos >= 8) {
        uint64_t atom = be32(file + pos), header = 8;
        if (atom == 1 && size - pos >= 16) {
            atom = be64(file + pos + 8);
            header = 16;
        } else if (atom == 0) {
            atom = size - pos;
        }
        if (atom < header || atom > size - pos)
            break;
        if (memcmp(file + pos + 4, "mdat", 4) == 0) {
            mdat = pos + header;
            mdatSize = atom - header;
            break;
        }
        pos += atom;
    }

    uint8_t* scratch = malloc(1 << 20);
    uint64_t units = 0, bytes = 0;
    for (uint64_t at = mdat; mdatSize && mdat + mdatSize - at >= kLengthBytes;) {
        const uint64_t length = be32(file + at);
        at += kLengthBytes;
        if (length == 0 || length > mdat + mdatSize - at)
            break;
        if ((file[at] & kNalTypeMask) == kSeiNalType && length <= (1 << 20)) {
            memcpy(scratch, file + at, length);
            units++;
            bytes += length + scratch[length - 1];
        }
        at += length;
    }
    printf("%llu SEI units, %llu\n", (unsigned long long)units, (unsigned long long)bytes);
    free(scratch);
    munmap((void*)file, size);
    close(fd);
    return 0;
}

#include "StandardStreams.h"

#include <cstdio>
#include <streambuf>

namespace extractcli {
namespace {

// Writes straight through to a C stream, as the library's standard streams do while they are
// synchronised with stdio: output from both kinds of writer keeps its order.
class StdioBuffer : public std::streambuf {
public:
    explicit StdioBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        return static_cast<std::streamsize>(
            std::fwrite(text, 1, static_cast<std::size_t>(count), file_));
    }
    int sync() override { return std::fflush(file_) == 0 ? 0 : -1; }

private:
    std::FILE* file_;
};

void write(std::FILE* file, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), file);
}

} // namespace

void writeToStandardOutput(std::string_view text) {
    write(stdout, text);
}

void writeToStandardError(std::string_view text) {
    write(stderr, text);
}

std::ostream& standardOutput() {
    static StdioBuffer buffer(stdout);
    static std::ostream stream(&buffer);
    return stream;
}

std::ostream& standardError() {
    static StdioBuffer buffer(stderr);
    static std::ostream stream(&buffer);
    return stream;
}

} // namespace extractcli

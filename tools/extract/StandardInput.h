// A clip read from standard input, for pipelines that have no file to name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace extractcli {

// The bytes read, in an anonymous mapping sized for the most that may be read: pages never
// written cost nothing, and a clip of any size is read once, never copied into a larger buffer.
class InputBytes {
public:
    InputBytes() = default;
    InputBytes(const InputBytes&) = delete;
    InputBytes& operator=(const InputBytes&) = delete;
    ~InputBytes();

    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

private:
    friend std::string readStandardInput(std::uint64_t maxBytes, InputBytes& input);
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Reads standard input until its end or `maxBytes` bytes. Returns an error text, empty on
// success.
std::string readStandardInput(std::uint64_t maxBytes, InputBytes& input);

} // namespace extractcli

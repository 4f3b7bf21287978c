// A 32-bit PE file read straight from its bytes, as the loader reads it: the
// headers, the section table and the data directories. The release tests read
// the built DLL through it rather than through a tool's listing, whose layout
// no tool promises to keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pe {

// Indexes into the optional header's data directories.
constexpr int IMAGE_DIRECTORY_ENTRY_EXPORT = 0;
constexpr int IMAGE_DIRECTORY_ENTRY_IMPORT = 1;
constexpr int IMAGE_DIRECTORY_ENTRY_RESOURCE = 2;

using Bytes = std::vector<uint8_t>;

struct Image {
    Bytes bytes;
    size_t sections = 0;  // file offset of the section table
    int section_count = 0;
    size_t directories = 0;  // file offset of the data directories

    void Need(size_t offset, size_t size) const {
        if (offset > bytes.size() || size > bytes.size() - offset)
            throw std::runtime_error("read beyond the end of the file at " +
                                     std::to_string(offset));
    }
    uint16_t U16(size_t offset) const {
        Need(offset, 2);
        return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
    }
    uint32_t U32(size_t offset) const { return U16(offset) | uint32_t{U16(offset + 2)} << 16; }

    // The file offset of a relative virtual address, through the section table.
    size_t FileOffset(uint32_t rva) const {
        for (int i = 0; i < section_count; ++i) {
            const size_t section = sections + i * size_t{40};
            const uint32_t address = U32(section + 12);
            const uint32_t size = U32(section + 16);
            if (rva >= address && rva - address < size) return U32(section + 20) + (rva - address);
        }
        throw std::runtime_error("address " + std::to_string(rva) + " in no section");
    }

    // The relative virtual address of a data directory; 0 when it is absent.
    uint32_t DirectoryRva(int index) const { return U32(directories + index * size_t{8}); }

    // The NUL-terminated 8-bit text at a relative virtual address.
    std::string Text(uint32_t rva) const {
        std::string text;
        for (size_t at = FileOffset(rva);; ++at) {
            Need(at, 1);
            if (bytes[at] == 0) return text;
            text += static_cast<char>(bytes[at]);
        }
    }
};

// The bytes as a 32-bit PE image, headers checked.
inline Image Parse(Bytes bytes) {
    Image image{std::move(bytes)};
    const size_t header = image.U32(0x3C);
    if (image.U32(header) != 0x00004550) throw std::runtime_error("not a PE file");
    image.section_count = image.U16(header + 6);
    const size_t optional_header = header + 24;
    if (image.U16(optional_header) != 0x10B) throw std::runtime_error("not a 32-bit image");
    image.sections = optional_header + image.U16(header + 20);
    image.directories = optional_header + 96;
    return image;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

}  // namespace pe

// The version resource of the built Marrowick.dll, read the way Windows' file
// properties read it: through the PE headers to the RT_VERSION resource, then
// the VS_VERSIONINFO block tree.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/plugin.h"
#include "plugin/version.h"
#include "tests/release/pe_image.h"

namespace {

constexpr uint32_t RT_VERSION_ID = 16;
constexpr uint32_t VS_VERSION_INFO_ID = 1;
constexpr uint32_t FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD;
constexpr uint32_t VOS_NT_WINDOWS32_VALUE = 0x00040004;
constexpr uint32_t VFT_DLL_VALUE = 2;

using Bytes = pe::Bytes;
using pe::Image;

// One block of VS_VERSIONINFO: a key, its value and its child blocks.
struct Block {
    std::string key;
    uint16_t type = 0;  // 1 for text, 0 for binary
    Bytes value;        // text values as UTF-16 bytes
    std::vector<Block> children;

    const Block& Child(const std::string& child_key) const {
        for (const Block& child : children)
            if (child.key == child_key) return child;
        throw std::runtime_error("no block " + child_key + " in " + key);
    }
};

size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// UTF-16 text of ASCII characters as 8-bit text, up to the NUL; *offset ends
// after the NUL.
std::string ReadWideText(const Image& image, size_t* offset, size_t end) {
    std::string text;
    for (; *offset + 2 <= end; *offset += 2) {
        const uint16_t c = image.U16(*offset);
        if (c == 0) {
            *offset += 2;
            return text;
        }
        text += c < 0x80 ? static_cast<char>(c) : '?';
    }
    throw std::runtime_error("unterminated key");
}

Block ReadBlock(const Image& image, size_t start, size_t limit) {
    const size_t length = image.U16(start);
    if (length < 6 || start + length > limit) throw std::runtime_error("bad block length");
    const size_t end = start + length;
    const uint16_t value_length = image.U16(start + 2);
    Block block;
    block.type = image.U16(start + 4);
    size_t offset = start + 6;
    block.key = ReadWideText(image, &offset, end);
    offset = Align4(offset);
    // A text value's length counts UTF-16 characters, a binary one's bytes.
    const size_t value_bytes = block.type == 1 ? value_length * size_t{2} : value_length;
    if (offset + value_bytes > end) throw std::runtime_error("value beyond block " + block.key);
    block.value.assign(image.bytes.begin() + offset, image.bytes.begin() + offset + value_bytes);
    for (offset = Align4(offset + value_bytes); offset < end;) {
        block.children.push_back(ReadBlock(image, offset, end));
        offset = Align4(offset + image.U16(offset));
    }
    return block;
}

std::string TextValue(const Block& block) {
    std::string text;
    for (size_t i = 0; i + 1 < block.value.size(); i += 2) {
        const int c = block.value[i] | block.value[i + 1] << 8;
        if (c == 0) break;
        text += static_cast<char>(c);
    }
    return text;
}

// The entry of a resource directory level with the given id, or its first
// entry when id is 0: the offset of what it points to from the resources' start.
uint32_t FindResourceEntry(const Image& image, size_t directory, uint32_t id) {
    const int count = image.U16(directory + 12) + image.U16(directory + 14);
    for (int i = 0; i < count; ++i) {
        const size_t entry = directory + 16 + i * size_t{8};
        if (id == 0 || image.U32(entry) == id) return image.U32(entry + 4);
    }
    throw std::runtime_error("no resource entry " + std::to_string(id));
}

Block ReadVersionResource(const std::string& path) {
    const Image image = pe::Parse(pe::ReadFile(path));
    const uint32_t resource_rva = image.DirectoryRva(pe::IMAGE_DIRECTORY_ENTRY_RESOURCE);
    if (resource_rva == 0) throw std::runtime_error("no resources");
    const size_t resources = image.FileOffset(resource_rva);

    // Type, then name, then language; the two upper levels are directories.
    constexpr uint32_t SUBDIRECTORY = 0x80000000;
    const uint32_t type = FindResourceEntry(image, resources, RT_VERSION_ID);
    if (!(type & SUBDIRECTORY)) throw std::runtime_error("bad resource tree");
    const uint32_t name =
        FindResourceEntry(image, resources + (type & ~SUBDIRECTORY), VS_VERSION_INFO_ID);
    if (!(name & SUBDIRECTORY)) throw std::runtime_error("bad resource tree");
    const uint32_t language = FindResourceEntry(image, resources + (name & ~SUBDIRECTORY), 0);
    const size_t data_entry = resources + language;
    const size_t data = image.FileOffset(image.U32(data_entry));
    const size_t size = image.U32(data_entry + 4);
    image.Need(data, size);
    return ReadBlock(image, data, data + size);
}

uint32_t Word32(const Bytes& bytes, size_t index) {
    const size_t i = index * 4;
    return bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | uint32_t{bytes[i + 3]} << 24;
}

class VersionResourceTest : public testing::Test {
protected:
    void SetUp() override {
        try {
            root = ReadVersionResource(MARROWICK_DLL);
        } catch (const std::exception& error) {
            FAIL() << MARROWICK_DLL << ": " << error.what();
        }
    }

    std::map<std::string, std::string> Strings() const {
        std::map<std::string, std::string> strings;
        const Block& tables = root.Child("StringFileInfo");
        if (tables.children.empty()) return strings;
        for (const Block& string : tables.children[0].children)
            strings[string.key] = TextValue(string);
        return strings;
    }

    Block root;
};

// The numeric version as Windows shows it, "major.minor.patch.build".
std::string DottedVersion(uint32_t most, uint32_t least) {
    return std::to_string(most >> 16) + '.' + std::to_string(most & 0xFFFF) + '.' +
           std::to_string(least >> 16) + '.' + std::to_string(least & 0xFFFF);
}

TEST_F(VersionResourceTest, FixedInfoCarriesTheVersionOfPluginInfo) {
    ASSERT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 13u * 4);
    EXPECT_EQ(Word32(root.value, 0), FIXED_FILE_INFO_SIGNATURE);
    // The numbers and the text of the version are written separately in
    // version.h; both must say what pluginInfo answers.
    const std::string version = std::string(pluginInfo(PLUGIN_VERSION_QUERY)) + ".0";
    EXPECT_EQ(DottedVersion(Word32(root.value, 2), Word32(root.value, 3)), version);
    EXPECT_EQ(DottedVersion(Word32(root.value, 4), Word32(root.value, 5)), version);
    EXPECT_EQ(Word32(root.value, 8), VOS_NT_WINDOWS32_VALUE);
    EXPECT_EQ(Word32(root.value, 9), VFT_DLL_VALUE);
}

TEST_F(VersionResourceTest, TextsNameTheProductAndItsAuthor) {
    const auto strings = Strings();
    EXPECT_EQ(strings.at("ProductName"), pluginInfo(PLUGIN_NAME_QUERY));
    EXPECT_EQ(strings.at("ProductVersion"), pluginInfo(PLUGIN_VERSION_QUERY));
    EXPECT_EQ(strings.at("FileVersion"), pluginInfo(PLUGIN_VERSION_QUERY));
    EXPECT_EQ(strings.at("CompanyName"), pluginInfo(PLUGIN_AUTHOR_QUERY));
    EXPECT_EQ(strings.at("FileDescription"), MARROWICK_DESCRIPTION);
    EXPECT_EQ(strings.at("OriginalFilename"), "Marrowick.dll");
    EXPECT_EQ(strings.at("InternalName"), "Marrowick");
}

// Windows shows the texts only from the string table that the Translation
// value names.
TEST_F(VersionResourceTest, TranslationNamesTheStringTable) {
    const Block& translation = root.Child("VarFileInfo").Child("Translation");
    ASSERT_EQ(translation.value.size(), 4u);
    char name[9];
    std::snprintf(name, sizeof name, "%04X%04X", translation.value[0] | translation.value[1] << 8,
                  translation.value[2] | translation.value[3] << 8);
    const Block& tables = root.Child("StringFileInfo");
    ASSERT_EQ(tables.children.size(), 1u);
    std::string key = tables.children[0].key;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(key, name);
}

}  // namespace

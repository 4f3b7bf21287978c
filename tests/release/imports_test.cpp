// What the built DLL asks of the loader and offers the host: it may import
// only from the system's DLLs and from blackbox.exe, by the host functions'
// plain names, and exports exactly its three entry points, undecorated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "tests/release/pe_image.h"

namespace {

constexpr uint32_t IMAGE_ORDINAL_FLAG32 = 0x80000000;

// What a DLL imports: the names by module, module names in upper case, and
// any import by ordinal as "MODULE #ORDINAL".
struct Imports {
    std::map<std::string, std::set<std::string>> names;
    std::set<std::string> by_ordinal;
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The import directory: one 20-byte descriptor a module, up to an empty one;
// each module's lookup table holds one 32-bit entry an import, up to a 0: an
// ordinal when the top bit is set, else the address of a 2-byte hint and the name.
Imports ReadImports(const pe::Image& image) {
    Imports imports;
    const uint32_t directory = image.DirectoryRva(pe::IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (directory == 0) return imports;
    for (size_t descriptor = image.FileOffset(directory);; descriptor += 20) {
        const uint32_t lookup = image.U32(descriptor);
        const uint32_t name = image.U32(descriptor + 12);
        const uint32_t address_table = image.U32(descriptor + 16);
        if (name == 0) return imports;
        const std::string module = Upper(image.Text(name));
        auto& names = imports.names[module];
        // Without a lookup table the address table holds the same entries.
        size_t entry = image.FileOffset(lookup != 0 ? lookup : address_table);
        for (uint32_t thunk; (thunk = image.U32(entry)) != 0; entry += 4) {
            if (thunk & IMAGE_ORDINAL_FLAG32)
                imports.by_ordinal.insert(module + " #" + std::to_string(thunk & 0xFFFF));
            else
                names.insert(image.Text(thunk + 2));
        }
    }
}

// The export directory's name pointer table.
std::set<std::string> ReadExports(const pe::Image& image) {
    std::set<std::string> exports;
    const uint32_t directory = image.DirectoryRva(pe::IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (directory == 0) return exports;
    const size_t header = image.FileOffset(directory);
    const uint32_t count = image.U32(header + 24);
    const size_t names = image.FileOffset(image.U32(header + 32));
    for (uint32_t i = 0; i < count; ++i) exports.insert(image.Text(image.U32(names + i * 4)));
    return exports;
}

pe::Image TheDll() { return pe::Parse(pe::ReadFile(MARROWICK_DLL)); }

TEST(ImportsTest, OnlySystemDllsAndTheHostByPlainNames) {
    const Imports imports = ReadImports(TheDll());
    EXPECT_EQ(imports.by_ordinal, std::set<std::string>{});
    std::set<std::string> modules;
    for (const auto& [module, names] : imports.names) modules.insert(module);
    EXPECT_EQ(modules, (std::set<std::string>{"BLACKBOX.EXE", "GDI32.DLL", "KERNEL32.DLL",
                                              "MSVCRT.DLL", "USER32.DLL"}));
    ASSERT_EQ(imports.names.count("BLACKBOX.EXE"), 1u);
    EXPECT_EQ(imports.names.at("BLACKBOX.EXE"),
              (std::set<std::string>{"CreateStyleFont", "GetBBWnd", "GetSettingPtr", "GetTrayIcon",
                                     "GetTraySize", "MakeStyleGradient", "ReadInt", "ReadString"}));
}

TEST(ImportsTest, ExportsTheThreeEntryPointsUndecorated) {
    EXPECT_EQ(ReadExports(TheDll()),
              (std::set<std::string>{"beginPlugin", "endPlugin", "pluginInfo"}));
}

// The reader itself: the DLL with its first import's lookup entry turned
// into ordinal 5 reads as that module importing #5.
TEST(ImportsTest, AnImportByOrdinalIsCaught) {
    pe::Image image = TheDll();
    const size_t descriptor =
        image.FileOffset(image.DirectoryRva(pe::IMAGE_DIRECTORY_ENTRY_IMPORT));
    const std::string module = Upper(image.Text(image.U32(descriptor + 12)));
    const size_t entry = image.FileOffset(image.U32(descriptor));
    image.Need(entry, 4);
    image.bytes[entry] = 5;
    image.bytes[entry + 1] = image.bytes[entry + 2] = 0;
    image.bytes[entry + 3] = 0x80;
    EXPECT_EQ(ReadImports(image).by_ordinal, std::set<std::string>{module + " #5"});
}

// MinGW's own printf family, which the C++ headers select by default, would
// make the DLL several times larger, and the C runtime's start-up code adds a
// third; this catches either coming back.
TEST(ImportsTest, StaysUnder28KiB) {
    EXPECT_LT(std::filesystem::file_size(MARROWICK_DLL), 28u * 1024u);
}

}  // namespace

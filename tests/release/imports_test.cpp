// What the built DLL asks of the loader and offers the host: it may import
// only from the system's DLLs and from blackbox.exe, by the host functions'
// plain names, and exports exactly its three entry points, undecorated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

// The DLL's import table as objdump reads it: imported names by module,
// module names in upper case.
std::map<std::string, std::set<std::string>> ReadImports(const std::string& objdump_output) {
    std::map<std::string, std::set<std::string>> imports;
    std::istringstream lines(objdump_output);
    std::string line, module;
    while (std::getline(lines, line)) {
        const auto at = line.find("DLL Name: ");
        if (at != std::string::npos) {
            module = line.substr(at + 10);
            std::transform(module.begin(), module.end(), module.begin(),
                           [](unsigned char c) { return std::toupper(c); });
            imports[module];
            continue;
        }
        if (line.empty() || line[0] != '\t') module.clear();
        std::istringstream fields(line);
        std::string vma, hint, name;
        if (!module.empty() && fields >> vma >> hint >> name && vma != "vma:")
            imports[module].insert(name);
    }
    return imports;
}

// The names after "[Ordinal/Name Pointer] Table" in objdump's export listing.
std::set<std::string> ReadExports(const std::string& objdump_output) {
    std::set<std::string> exports;
    const auto table = objdump_output.find("[Ordinal/Name Pointer] Table");
    if (table == std::string::npos) return exports;
    std::istringstream lines(objdump_output.substr(table));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && line.find('[') != std::string::npos)
        exports.insert(line.substr(line.rfind(' ') + 1));
    return exports;
}

std::string ObjdumpHeaders() {
    std::string output;
    FILE* pipe = popen("i686-w64-mingw32-objdump -p '" MARROWICK_DLL "'", "r");
    if (!pipe) return output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
    return output;
}

TEST(ImportsTest, OnlySystemDllsAndTheHostByPlainNames) {
    const auto imports = ReadImports(ObjdumpHeaders());
    std::set<std::string> modules;
    for (const auto& [module, names] : imports) modules.insert(module);
    EXPECT_EQ(modules, (std::set<std::string>{"BLACKBOX.EXE", "GDI32.DLL", "KERNEL32.DLL",
                                              "MSVCRT.DLL", "USER32.DLL"}));
    ASSERT_EQ(imports.count("BLACKBOX.EXE"), 1u);
    EXPECT_EQ(imports.at("BLACKBOX.EXE"),
              (std::set<std::string>{"CreateStyleFont", "GetBBWnd", "GetSettingPtr", "GetTrayIcon",
                                     "GetTraySize", "MakeStyleGradient", "ReadInt", "ReadString"}));
}

TEST(ImportsTest, ExportsTheThreeEntryPointsUndecorated) {
    EXPECT_EQ(ReadExports(ObjdumpHeaders()),
              (std::set<std::string>{"beginPlugin", "endPlugin", "pluginInfo"}));
}

// MinGW's own printf family, which the C++ headers select by default, would
// make the DLL several times larger, and the C runtime's start-up code adds a
// third; this catches either coming back.
TEST(ImportsTest, StaysUnder28KiB) {
    EXPECT_LT(std::filesystem::file_size(MARROWICK_DLL), 28u * 1024u);
}

}  // namespace

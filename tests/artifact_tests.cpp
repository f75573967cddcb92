// The built DLL as a user's machine sees it: architecture, export and import tables, version.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "standin_host.h"

namespace {

struct PeImage {
    std::vector<std::uint8_t> bytes;
    const IMAGE_NT_HEADERS* headers = nullptr;  // the optional header's magic says 32 or 64 bits
};

PeImage ReadImage(const std::string& path) {
    PeImage image;
    std::ifstream file(path, std::ios::binary);
    image.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (image.bytes.size() < sizeof(IMAGE_DOS_HEADER)) {
        return image;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.bytes.data());
    image.headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image.bytes.data() + dos->e_lfanew);
    return image;
}

const IMAGE_DATA_DIRECTORY& Directory(const PeImage& image, int index) {
    // The same header type as the test program's, which is built for the DLL's architecture.
    return image.headers->OptionalHeader.DataDirectory[index];
}

// File bytes at a relative virtual address, found through the section table.
const std::uint8_t* AtRva(const PeImage& image, DWORD rva) {
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(image.headers);
    for (WORD i = 0; i < image.headers->FileHeader.NumberOfSections; ++i, ++section) {
        if (rva >= section->VirtualAddress &&
            rva < section->VirtualAddress + section->Misc.VirtualSize) {
            return image.bytes.data() + section->PointerToRawData + (rva - section->VirtualAddress);
        }
    }
    return nullptr;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class BuiltDll : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = ReadImage(standin::OriginalModulePath());
        ASSERT_NE(nullptr, image_.headers);
        ASSERT_EQ(static_cast<DWORD>(IMAGE_NT_SIGNATURE), image_.headers->Signature);
    }
    PeImage image_;
};

TEST_F(BuiltDll, IsBuiltForTheHostsArchitecture) {
#ifdef _WIN64
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, image_.headers->FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, image_.headers->OptionalHeader.Magic);  // PE32+
#else
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, image_.headers->FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, image_.headers->OptionalHeader.Magic);  // PE32
#endif
    EXPECT_TRUE(image_.headers->FileHeader.Characteristics & IMAGE_FILE_DLL);
}

TEST_F(BuiltDll, ExportsOnlyTheEntryAsOrdinalOne) {
    const IMAGE_DATA_DIRECTORY& directory = Directory(image_, IMAGE_DIRECTORY_ENTRY_EXPORT);
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(AtRva(image_, directory.VirtualAddress));
    ASSERT_NE(nullptr, exports);
    EXPECT_STREQ("ruvenkal.dll", reinterpret_cast<const char*>(AtRva(image_, exports->Name)));
    EXPECT_EQ(1u, exports->Base);
    ASSERT_EQ(1u, exports->NumberOfFunctions);
    ASSERT_EQ(1u, exports->NumberOfNames);
    const auto* names = reinterpret_cast<const DWORD*>(AtRva(image_, exports->AddressOfNames));
    const auto* ordinals =
        reinterpret_cast<const WORD*>(AtRva(image_, exports->AddressOfNameOrdinals));
    EXPECT_STREQ("ReaperPluginEntry", reinterpret_cast<const char*>(AtRva(image_, names[0])));
    EXPECT_EQ(0, ordinals[0]);  // index 0, ordinal Base + 0 = 1
}

TEST_F(BuiltDll, ImportsOnlySystemDlls) {
    // gdi32 measures translated texts in their controls' fonts.
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"};
    const IMAGE_DATA_DIRECTORY& directory = Directory(image_, IMAGE_DIRECTORY_ENTRY_IMPORT);
    const auto* import =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(AtRva(image_, directory.VirtualAddress));
    ASSERT_NE(nullptr, import);
    int count = 0;
    for (; import->Name != 0; ++import, ++count) {
        const std::string name = reinterpret_cast<const char*>(AtRva(image_, import->Name));
        EXPECT_EQ(1u, system.count(Lower(name))) << name << " is not a system DLL";
    }
    EXPECT_GT(count, 0);
    EXPECT_EQ(0u, Directory(image_, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT).Size);
}

std::string VersionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return "";
    }
    return value;
}

TEST_F(BuiltDll, CarriesTheProductVersion) {
    const std::string path = standin::OriginalModulePath();
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    EXPECT_EQ("Ruvenkal", VersionString(info, "ProductName"));
    EXPECT_NE("", VersionString(info, "FileDescription"));
    EXPECT_EQ(RUVENKAL_VERSION, VersionString(info, "ProductVersion"));
    EXPECT_EQ(RUVENKAL_VERSION, VersionString(info, "FileVersion"));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(RUVENKAL_VERSION, numbers);
}

}  // namespace

// Reads the version resource and the manifest back from the built Tarvel.exe, as Explorer and the
// loader read them, and compares them with the project's version.
//
//   tarvel_version_check <Tarvel.exe> <version x.y.z>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what.c_str());
    ++failures;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // version texts are ASCII
}

std::string Narrow(const std::wstring& text) {
    std::string ascii;
    for (wchar_t c : text) ascii += c < 128 ? static_cast<char>(c) : '?';
    return ascii;
}

std::wstring StringValue(std::vector<char>& block, const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return L"<missing>";
    return std::wstring(value, length > 0 ? length - 1 : 0);
}

// The processor the manifest must name for the exe's own machine type (its PE file header).
std::string ManifestArchitecture(const std::wstring& exe) {
    HANDLE file = CreateFileW(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::vector<unsigned char> head(4096);
    DWORD got = 0;
    const bool read = ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    CloseHandle(file);
    if (!read || got < sizeof(IMAGE_DOS_HEADER)) return "<short>";
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, head.data(), sizeof dos);
    const size_t at = static_cast<size_t>(dos.e_lfanew);
    if (at + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER) > got) return "<no PE header>";
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, head.data() + at + sizeof(DWORD), sizeof header);
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "x86";
    case IMAGE_FILE_MACHINE_AMD64:
        return "amd64";
    default:
        return "<machine " + std::to_string(header.Machine) + ">";
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("usage: tarvel_version_check <Tarvel.exe> <version>\n");
        return 2;
    }
    std::wstring exe = argv[1];
    if (!exe.empty() && exe[0] == L'/') exe = L"Z:" + exe; // ctest passes Unix paths
    const std::string version = Narrow(argv[2]);
    unsigned major = 0, minor = 0, patch = 0;
    if (std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch) != 3) {
        std::printf("not a version: %s\n", version.c_str());
        return 2;
    }

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    Check(size > 0, "Tarvel.exe has a version resource");
    if (size > 0) {
        std::vector<char> block(size);
        Check(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()), "GetFileVersionInfoW reads it");
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        Check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
              "the fixed part is there");
        const DWORD high = (major << 16) | minor, low = patch << 16;
        if (fixed) {
            Check(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low,
                  "binary FileVersion is " + version + ".0");
            Check(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low,
                  "binary ProductVersion is " + version + ".0");
        }
        const struct {
            const wchar_t* Name;
            std::wstring Want;
        } texts[] = {
            {L"FileVersion", Widen(version)},
            {L"ProductVersion", Widen(version)},
            {L"ProductName", L"Tarvel"},
            {L"OriginalFilename", L"Tarvel.exe"},
            {L"LegalCopyright", L"Copyright (c) 2026 Ventra. MIT License."},
        };
        for (const auto& text : texts) {
            const std::wstring got = StringValue(block, text.Name);
            Check(got == text.Want,
                  Narrow(text.Name) + " is [" + Narrow(text.Want) + "], got [" + Narrow(got) + "]");
        }
        Check(StringValue(block, L"FileDescription").find(L"Jw_cad") != std::wstring::npos,
              "FileDescription names Jw_cad");
    }

    // The manifest: the same version and the exe's processor in assemblyIdentity, and per-monitor DPI
    // awareness v2.
    HMODULE module =
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Check(module != nullptr, "Tarvel.exe loads as a data file");
    if (module) {
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
        Check(resource != nullptr, "Tarvel.exe has a manifest");
        if (resource) {
            const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
            const std::string manifest(data, SizeofResource(module, resource));
            const std::string identity = "name=\"Ventra.Tarvel\" version=\"" + version + ".0\"";
            Check(manifest.find(identity) != std::string::npos,
                  "the manifest's assemblyIdentity has " + identity);
            // Windows refuses to start an exe whose manifest names another processor; Wine does not check.
            const std::string architecture =
                identity + " processorArchitecture=\"" + ManifestArchitecture(exe) + "\"";
            Check(manifest.find(architecture) != std::string::npos,
                  "the manifest's assemblyIdentity has " + architecture);
            Check(manifest.find(">PerMonitorV2, PerMonitor<") != std::string::npos,
                  "the manifest declares PerMonitorV2, falling back to PerMonitor");
        }
        FreeLibrary(module);
    }
    if (failures == 0) std::printf("passed: version %s in the resource and the manifest\n", version.c_str());
    return failures == 0 ? 0 : 1;
}

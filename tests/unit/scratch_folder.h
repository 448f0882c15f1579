// A scratch folder per test or per run, and whole-file reads and writes: for the tests and for the
// developer tools that drive the dialog in memory.
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// The names of a folder's entries, sorted.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder of its own (a tool folder, say, with the files Jw_cad and earlier runs leave in
// it), removed with everything in it afterwards. The name is unique per process and per folder, so
// two test runs on one machine never share one.
struct TScratchFolder {
    std::filesystem::path Path;

    TScratchFolder() {
        static std::atomic<int> counter{0};
        std::random_device random;
        Path = std::filesystem::temp_directory_path() /
               ("tarvel-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(Path);
    }
    ~TScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    void Write(std::string_view name, std::string_view bytes) const { WriteWholeFile(Path / name, bytes); }
    std::string Read(std::string_view name) const { return ReadWholeFile(Path / name); }
    bool Has(std::string_view name) const { return std::filesystem::exists(Path / name); }
};

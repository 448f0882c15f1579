// A fresh tool folder per test, with the files Jw_cad and earlier runs leave in it.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

struct TToolFolder {
    std::filesystem::path Path;

    TToolFolder() {
        static std::atomic<int> counter{0};
        std::random_device random;
        Path = std::filesystem::temp_directory_path() /
               ("tarvel-dialog-" + std::to_string(random()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(Path);
    }
    ~TToolFolder() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    TToolFolder(const TToolFolder&) = delete;
    TToolFolder& operator=(const TToolFolder&) = delete;

    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(Path / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(std::string_view name) const {
        std::ifstream in(Path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Has(std::string_view name) const { return std::filesystem::exists(Path / name); }
};

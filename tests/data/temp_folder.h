#pragma once
// A scratch folder per test, removed with everything in it when the test ends.

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

void writeFileBytes(const std::filesystem::path& path, std::string_view bytes);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

#include "fuzz_scratch.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace vm::fuzz {

namespace fs = std::filesystem;

namespace {
fs::path makeScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vm-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder in " + pattern);
    return pattern;
}

struct ScratchFolder {
    fs::path path = makeScratchFolder();
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};
} // namespace

const fs::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path;
}

fs::path writeScratchFile(std::string_view name, const std::uint8_t* data, std::size_t size) {
    fs::path path = scratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    return path;
}

} // namespace vm::fuzz

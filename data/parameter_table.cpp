#include "data/parameter_table.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

using namespace vm::record;

namespace vm::data {

namespace {

// Windows-1250 bytes 0x80..0xFF as code points; the five unassigned bytes keep their own value.
constexpr std::array<char32_t, 128> kCp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void storeLineWithoutLineEnd(std::string_view line, int row, TextGrid& grid) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    StoreParameterLine(line, row, grid);
}

} // namespace

std::string Cp1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b < 0x80 ? char32_t{b} : kCp1250High[b - 0x80]);
    }
    return out;
}

void StoreParameterLine(std::string_view line, int row, TextGrid& grid) {
    grid.growRows(row + 1);
    std::string field;
    int column = 0;
    for (std::size_t j = 0; j < line.size(); ++j) {
        const bool separator = line[j] == ';';
        if (!separator)
            field += line[j];
        // A field ends at each ";" and at the line's last character; so a final ";" adds no
        // empty cell and an empty line writes none.
        if (separator || j + 1 == line.size()) {
            grid.growColumns(column + 1);
            grid.setCell(column, row, Cp1250ToUtf8(field));
            field.clear();
            ++column;
        }
    }
}

FileResult ReadParameterTable(const std::filesystem::path& path, TextGrid& grid) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return FileResult::failure("File not found:" + path.string());
    if (ec)
        return FileError(ec.value(), path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FileError(errno, path);

    std::string pending; // the bytes of the line being read
    int row = 0;
    std::array<char, 65536> chunk;
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            return FileError(e, path);
        }
        if (n == 0)
            break;
        std::string_view data(chunk.data(), static_cast<std::size_t>(n));
        for (auto end = data.find('\n'); end != std::string_view::npos; end = data.find('\n')) {
            pending.append(data.substr(0, end));
            storeLineWithoutLineEnd(pending, row++, grid);
            pending.clear();
            data.remove_prefix(end + 1);
        }
        pending.append(data);
    }
    ::close(fd);
    if (!pending.empty())
        storeLineWithoutLineEnd(pending, row, grid);
    return FileResult::success();
}

} // namespace vm::data

#include "data/parameter_table.h"

#include "data/text_encoding.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

using namespace vm::record;

namespace vm::data {

namespace {

void storeLineWithoutLineEnd(std::string_view line, int row, TextGrid& grid) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    storeParameterLine(line, row, grid);
}

} // namespace

void storeParameterLine(std::string_view line, int row, TextGrid& grid) {
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
            grid.setCell(column, row, windows1250ToUtf8(field));
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
        return errnoFailure(ec.value(), path);
    int fd = -1;
    if (FileResult opened = openDataFile(path, fd); !opened.ok)
        return opened;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int e = errno;
        ::close(fd);
        return errnoFailure(e, path);
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxParameterTableBytes) {
        ::close(fd);
        return fileFailure("File too large", path);
    }

    std::string pending; // the bytes of the line being read
    int row = 0;
    std::uintmax_t total = 0;
    std::array<char, 65536> chunk;
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            return errnoFailure(e, path);
        }
        if (n == 0)
            break;
        // A file that grew since it was measured stops at the same limit.
        total += static_cast<std::uintmax_t>(n);
        if (total > kMaxParameterTableBytes) {
            ::close(fd);
            return fileFailure("File too large", path);
        }
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

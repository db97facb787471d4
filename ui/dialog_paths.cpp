#include "ui/dialog_paths.h"

#include <QFile>

#include <map>
#include <mutex>
#include <string>

#include <fcntl.h>

namespace vm::ui {

namespace fs = std::filesystem;

namespace {

// The folders given to dialogs by link, by their link's text. Each descriptor stays open for the
// program's life, so that a link handed out never comes to name another folder.
struct FolderLinks {
    std::mutex mutex;
    std::map<QString, fs::path> byLink;
};

FolderLinks& folderLinks() {
    static FolderLinks links;
    return links;
}

bool textHoldsName(const fs::path& path) {
    const QByteArray bytes = QByteArray::fromStdString(path.native());
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

} // namespace

QString dialogFolderText(const fs::path& folder) {
    const QString text = QFile::decodeName(QByteArray::fromStdString(folder.native()));
    if (textHoldsName(folder))
        return text;
    FolderLinks& links = folderLinks();
    const std::lock_guard lock(links.mutex);
    for (const auto& [link, linked] : links.byLink)
        if (linked == folder)
            return link;
    const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return text; // the dialog starts elsewhere, as for any folder it cannot open
    const QString link = QStringLiteral("/proc/self/fd/%1").arg(fd);
    links.byLink.emplace(link, folder);
    return link;
}

fs::path chosenFilePath(const QString& chosen) {
    if (chosen.isEmpty())
        return {};
    FolderLinks& links = folderLinks();
    const std::lock_guard lock(links.mutex);
    for (const auto& [link, linked] : links.byLink) {
        if (chosen == link)
            return linked;
        if (chosen.startsWith(link + QLatin1Char('/')))
            return linked / QFile::encodeName(chosen.mid(link.size() + 1)).toStdString();
    }
    return fs::path(QFile::encodeName(chosen).toStdString());
}

} // namespace vm::ui

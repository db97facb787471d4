#pragma once
// The help window: one RTF help file at a time in a read-only rich text on the tooltip colour,
// shown modally. One instance is made at start-up and reused.

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QTextEdit;

namespace vm::ui {

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    // Empties the text and lays the file into it. When the file cannot be opened ("Cannot open
    // file" and the path, the file layer's reason below) or read as RTF, returns what to tell the
    // user instead.
    std::optional<QString> loadHelpFile(const std::filesystem::path& path);

    QTextEdit* RichEdit1 = nullptr;
};

// Loads the file into the window and shows it modally; a file that cannot be shown is reported
// and the window stays closed.
void ShowHelpFile(TForm4& window, const std::filesystem::path& path,
                  const std::function<void(const QString&)>& report);

} // namespace vm::ui

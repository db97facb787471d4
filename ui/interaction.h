#pragma once
// Everything modal and every sound goes through this one interface, so that tests can drive
// every command without a dialog blocking them and can see what the user would have been told.

#include <QString>

#include <filesystem>

class QDialog;

namespace vm::ui {

class Interaction {
  public:
    virtual ~Interaction() = default;

    // A modal message box with an OK button.
    virtual void showMessage(const QString& text) = 0;

    // Modal file dialogs; an empty string means the user cancelled. The filter is the program's
    // "Description|*.ext".
    virtual QString getOpenFileName(const QString& dir, const QString& filter,
                                    const QString& defaultSuffix) = 0;
    virtual QString getSaveFileName(const QString& dir, const QString& filter,
                                    const QString& defaultSuffix) = 0;

    // The modal help window showing one RTF help file.
    virtual void showHelpFile(const std::filesystem::path& path) = 0;

    // The about window, and any other window of the program's shown modally until it is closed.
    virtual void showAboutBox() = 0;
    virtual void showModalWindow(QDialog& window) = 0;

    // A system sound by its alias ("SystemAsterisk", "SystemHand"), played without waiting.
    virtual void playSystemSound(const QString& alias) = 0;
    virtual void beep() = 0;
};

} // namespace vm::ui

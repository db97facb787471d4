#pragma once
// The real dialogs, help window and sounds of the running program.

#include "ui/interaction.h"

#include <QString>

#include <memory>

class QWidget;

namespace vm::ui {

class SystemSoundPlayer;
class TAboutBox;
class TForm4;

// The program names its file filters "Description|*.ext|Other|*.a;*.b"; Qt's dialogs take
// "Description (*.ext);;Other (*.a *.b)".
QString qtFileFilter(const QString& filter);

class QtInteraction : public Interaction {
  public:
    QtInteraction();
    ~QtInteraction() override;

    // Dialogs are modal to the parent once it is set; before that they have no parent.
    void setParentWindow(QWidget* parent) { parent_ = parent; }
    // The help and about windows the program entry makes; until then neither is shown.
    void setHelpWindow(TForm4* window) { helpWindow_ = window; }
    void setAboutBox(TAboutBox* window) { aboutBox_ = window; }

    void showMessage(const QString& text) override;
    QString getOpenFileName(const QString& dir, const QString& filter,
                            const QString& defaultSuffix) override;
    QString getSaveFileName(const QString& dir, const QString& filter,
                            const QString& defaultSuffix) override;
    void showHelpFile(const std::filesystem::path& path) override;
    void showAboutBox() override;
    void showModalWindow(QDialog& window) override;
    void playSystemSound(const QString& alias) override;
    void beep() override;

  private:
    QWidget* parent_ = nullptr;
    TForm4* helpWindow_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    // Made at the first sound, so that a program that never sounds never talks to a sound server.
    std::unique_ptr<SystemSoundPlayer> sounds_;
};

} // namespace vm::ui

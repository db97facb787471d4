#pragma once
// The seam as tests see it: nothing modal, everything the user would have been shown recorded,
// and file dialogs answered from a queue.

#include "ui/interaction.h"

#include <QList>
#include <QStringList>

#include <functional>

using namespace vm::ui;

class RecordingInteraction : public Interaction {
  public:
    QStringList messages;
    QStringList helpFiles;
    QStringList sounds;
    int beeps = 0;
    QStringList openAnswers; // the next open dialog returns the first of these, or "" (cancel)
    QStringList saveAnswers;
    int aboutBoxes = 0;
    // Sees each modal window while it would be open; the window is gone after the command.
    std::function<void(QDialog&)> onModalWindow = [](QDialog&) {};
    QList<QStringList> fileDialogs; // the folder, filter and default suffix of each file dialog

    void showMessage(const QString& text) override { messages << text; }
    QString getOpenFileName(const QString& dir, const QString& filter,
                            const QString& suffix) override {
        fileDialogs << QStringList{dir, filter, suffix};
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString getSaveFileName(const QString& dir, const QString& filter,
                            const QString& suffix) override {
        fileDialogs << QStringList{dir, filter, suffix};
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void showHelpFile(const std::filesystem::path& path) override {
        helpFiles << QString::fromStdString(path.string());
    }
    void showAboutBox() override { ++aboutBoxes; }
    void showModalWindow(QDialog& window) override { onModalWindow(window); }
    void playSystemSound(const QString& alias) override { sounds << alias; }
    void beep() override { ++beeps; }
};

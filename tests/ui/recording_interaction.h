#pragma once
// The seam as tests see it: nothing modal, everything the user would have been shown recorded,
// and file dialogs answered from a queue.

#include "ui/interaction.h"

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

    void showMessage(const QString& text) override { messages << text; }
    QString getOpenFileName(const QString&, const QString&, const QString&) override {
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString getSaveFileName(const QString&, const QString&, const QString&) override {
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void showHelpFile(const QString& path) override { helpFiles << path; }
    void showAboutBox() override { ++aboutBoxes; }
    void showModalWindow(QDialog& window) override { onModalWindow(window); }
    void playSystemSound(const QString& alias) override { sounds << alias; }
    void beep() override { ++beeps; }
};

#include "ui/qt_interaction.h"

#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/system_sound.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace vm::ui {

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        qtFilters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return qtFilters.isEmpty() ? filter : qtFilters.join(QStringLiteral(";;"));
}

namespace {

QString runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& dir,
                      const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), dir, qtFileFilter(filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

void QtInteraction::showMessage(const QString& text) {
    QMessageBox box(parent_);
    box.setWindowTitle(QStringLiteral("Velta Morvane"));
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QString QtInteraction::getOpenFileName(const QString& dir, const QString& filter,
                                       const QString& defaultSuffix) {
    return runFileDialog(parent_, QFileDialog::AcceptOpen, dir, filter, defaultSuffix);
}

QString QtInteraction::getSaveFileName(const QString& dir, const QString& filter,
                                       const QString& defaultSuffix) {
    return runFileDialog(parent_, QFileDialog::AcceptSave, dir, filter, defaultSuffix);
}

void QtInteraction::showHelpFile(const std::filesystem::path& path) {
    if (helpWindow_ != nullptr)
        ShowHelpFile(*helpWindow_, path, [this](const QString& text) { showMessage(text); });
}

void QtInteraction::showAboutBox() {
    if (aboutBox_ != nullptr)
        aboutBox_->exec();
}

void QtInteraction::showModalWindow(QDialog& window) {
    window.exec();
}

QtInteraction::QtInteraction() = default;
QtInteraction::~QtInteraction() = default;

// The sound theme plays without waiting; where it cannot, a plain beep stands in.
void QtInteraction::playSystemSound(const QString& alias) {
    if (!sounds_)
        sounds_ = std::make_unique<SystemSoundPlayer>([] { QApplication::beep(); });
    sounds_->play(alias.toStdString());
}

void QtInteraction::beep() {
    QApplication::beep();
}

} // namespace vm::ui

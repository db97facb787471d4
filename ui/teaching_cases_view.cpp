#include "ui/teaching_cases_view.h"

#include "session/hidden_settings.h"
#include "ui/case_sheet.h"
#include "ui/interaction.h"
#include "ui/unknown_patient_dialog.h"
#include "ui/widget_making.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QSpinBox>

using namespace vm::session;

namespace vm::ui {

namespace {

QAction* menuBarEntryNamed(QMenuBar* menuBar, const QString& name) {
    for (QAction* entry : menuBar->actions())
        if (entry->objectName() == name || (entry->menu() && entry->menu()->objectName() == name))
            return entry;
    return nullptr;
}

} // namespace

TeachingCasesView::TeachingCasesView(QWidget* client, QMenuBar* menuBar, Session& session,
                                     Interaction& interaction)
    : QObject(client), session_(session), interaction_(interaction), owner_(client->window()),
      quiz_(session) {
    proposeNumber = [] {
        return QRandomGenerator::global()->bounded(1u, kLargestPatientNumber + 1u);
    };
    if (const record::FileResult read =
            loadCaseLibrary(session.folder().dataPath(kCaseLibraryFile), library_);
        !read.ok)
        libraryProblem_ = read.message;

    // "Przypadki" after "Eksport", the restore command after "ref.Standard".
    Cases1 = new QMenu(QStringLiteral("Przypadki"), menuBar);
    Cases1->setObjectName(QStringLiteral("Cases1"));
    QAction* after = menuBarEntryNamed(menuBar, QStringLiteral("Export1"));
    const auto before = menuBar->actions().indexOf(after) + 1;
    menuBar->insertMenu(before < menuBar->actions().size() ? menuBar->actions()[before] : nullptr,
                        Cases1);
    for (std::size_t k = 0; k < library_.cases.size(); ++k) {
        QAction* entry = Cases1->addAction(QString::fromStdString(library_.cases[k].title));
        connect(entry, &QAction::triggered, this, [this, k] { emit caseChosen(k); });
    }
    if (!libraryProblem_.empty()) {
        QAction* entry = Cases1->addAction(QStringLiteral("Biblioteka przypadków niedostępna"));
        connect(entry, &QAction::triggered, this, &TeachingCasesView::reportLibraryProblem);
    }
    Cases1->addSeparator();
    UnknownPatient1 =
        named(Cases1->addAction(QStringLiteral("Nieznany pacjent")), "UnknownPatient1");
    connect(UnknownPatient1, &QAction::triggered, this, &TeachingCasesView::unknownPatientChosen);

    RestoreAll1 =
        named(new QAction(QStringLiteral("Przywróć wszystkie nastawy"), menuBar), "RestoreAll1");
    QAction* reference = menuBarEntryNamed(menuBar, QStringLiteral("Reset1"));
    const auto next = menuBar->actions().indexOf(reference) + 1;
    menuBar->insertAction(next > 0 && next < menuBar->actions().size() ? menuBar->actions()[next]
                                                                       : nullptr,
                          RestoreAll1);
    connect(RestoreAll1, &QAction::triggered, this, &TeachingCasesView::restoreChosen);

    // Yellow on the grey panel, where the student looks after reading the row grid.
    HiddenSettingsNote = named(new QLabel(client), "HiddenSettingsNote");
    HiddenSettingsNote->setWordWrap(true);
    HiddenSettingsNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = HiddenSettingsNote->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 0));
    HiddenSettingsNote->setPalette(palette);
    HiddenSettingsNote->hide();

    sheet_ = new CaseSheet(owner_);
}

void TeachingCasesView::reportLibraryProblem() {
    interaction_.showMessage(QString::fromStdString(libraryProblem_));
}

void TeachingCasesView::showCaseSheet(std::size_t index) {
    sheet_->showCase(library_.cases.at(index));
}

void TeachingCasesView::showNotice() {
    const QString text = QString::fromStdString(hiddenSettingsNotice(findHiddenSettings(session_)));
    HiddenSettingsNote->setText(text);
    HiddenSettingsNote->setVisible(!text.isEmpty());
    HiddenSettingsNote->raise();
}

std::optional<std::uint32_t> TeachingCasesView::askPatientNumber() {
    UnknownPatientNumberDialog dialog(owner_, static_cast<int>(proposeNumber()));
    interaction_.showModalWindow(dialog);
    if (dialog.result() != QDialog::Accepted)
        return std::nullopt;
    return static_cast<std::uint32_t>(dialog.number()->value());
}

void TeachingCasesView::askAnswer() {
    const TeachingCase& c = *quiz_.draw().teachingCase;
    const QString patient = QStringLiteral("Pacjent nr %1: %2")
                                .arg(quiz_.seed())
                                .arg(QString::fromStdString(patientText(c.patient)));
    UnknownPatientDialog dialog(owner_, patient, quiz_.key()->reading,
                                [this](CasePattern pattern, Severity severity) {
                                    return QString::fromStdString(quiz_.Answer(pattern, severity));
                                });
    interaction_.showModalWindow(dialog);
    // Closed without an answer: skipped, counted, and the key shown all the same.
    if (!dialog.answered())
        interaction_.showMessage(QString::fromStdString(quiz_.Skip()));
}

void TeachingCasesView::closeCaseSheet() {
    sheet_->close();
}

// Right of the selected-row buttons, below the note box, as high as the row grid.
void TeachingCasesView::place(const MainWindowGeometry& g) {
    const int left = g.groupBox1.right() + 10;
    HiddenSettingsNote->setGeometry(left, g.groupBox1.top + 5, g.panel6.right() - left - 20,
                                    g.groupBox1.height - 10);
}

} // namespace vm::ui

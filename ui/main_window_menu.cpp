// The menu bar, the row grid's pop-up menu and the menu commands; the handlers of the window's
// own controls and what its parts report.

#include "ui/main_window.h"

#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/results_view.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <utility>

namespace vm::ui {

namespace {
QAction* namedAction(QObject* parent, const char* name, const QString& text) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}
} // namespace

void TForm1::createMenus() {
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    File1 = MainMenu1->addMenu(QStringLiteral("Plik"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = namedAction(this, "Open1", QStringLiteral("Otwórz"));
    Save1 = namedAction(this, "Save1", QStringLiteral("Zapisz"));
    Saveas1 = namedAction(this, "Saveas1", QStringLiteral("Zapisz jako"));
    File1->addActions({Open1, Save1, Saveas1});
    // The desktop's usual keys for the file commands, beside the menu's own texts.
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Saveas1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));

    Export1 = MainMenu1->addMenu(QStringLiteral("Eksport"));
    Export1->setObjectName(QStringLiteral("Export1"));
    ExportFlowVolumePlot1 = namedAction(this, "ExportFlowVolumePlot1",
                                        QStringLiteral("Wykres przepływ-objętość (PNG, SVG)"));
    ExportVolumeTimePlot1 = namedAction(this, "ExportVolumeTimePlot1",
                                        QStringLiteral("Wykres objętość-czas (PNG, SVG)"));
    ExportResults1 = namedAction(this, "ExportResults1", QStringLiteral("Wyniki (CSV)"));
    ExportFlowVolumeCurves1 = namedAction(this, "ExportFlowVolumeCurves1",
                                          QStringLiteral("Krzywe przepływ-objętość (CSV)"));
    ExportVolumeTimeCurves1 =
        namedAction(this, "ExportVolumeTimeCurves1", QStringLiteral("Krzywe objętość-czas (CSV)"));
    ExportSpirogram1 =
        namedAction(this, "ExportSpirogram1", QStringLiteral("Spirogram (PNG, SVG)"));
    ExportReport1 = namedAction(this, "ExportReport1", QStringLiteral("Raport PDF"));
    Export1->addActions({ExportFlowVolumePlot1, ExportVolumeTimePlot1, ExportResults1,
                         ExportFlowVolumeCurves1, ExportVolumeTimeCurves1, ExportSpirogram1,
                         ExportReport1});

    Patient1 = namedAction(this, "Patient1", QStringLiteral("Pacjent"));
    Interpretation1 = namedAction(this, "Interpretation1", QStringLiteral("Interpretacja"));
    MainMenu1->addActions({Patient1, Interpretation1});

    Reset1 = namedAction(this, "Reset1", QStringLiteral("ref.Standard"));
    Help2 = namedAction(this, "Help2", QStringLiteral("Pomoc"));
    About1 = namedAction(this, "About1", QStringLiteral("Autorzy"));
    Quit1 = namedAction(this, "Quit1", QStringLiteral("Koniec"));
    MainMenu1->addActions({Reset1, Help2, About1, Quit1});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    DE1 = namedAction(this, "DE1", QStringLiteral("Usuń wybrany wiersz"));
    Useasref1 = namedAction(this, "Useasref1", QStringLiteral("Użyj jako referencyjny"));
    parametry1 = namedAction(this, "parametry1", QStringLiteral("Nastawy"));
    HELP1 = namedAction(this, "HELP1", QStringLiteral("Pomoc"));
    Interpretation2 = namedAction(this, "Interpretation2", QStringLiteral("Interpretacja"));
    // The reading of the selected result comes last, after the row's own commands.
    PopupMenu1->addActions({DE1, Useasref1, parametry1, HELP1, Interpretation2});
    createCaseMenus();
}

void TForm1::connectHandlers() {
    // Every item of the main menu and of the row menu, with its handler.
    const std::pair<QAction*, void (TForm1::*)()> items[] = {
        {Open1, &TForm1::Open1Click},
        {Save1, &TForm1::Save1Click},
        {Saveas1, &TForm1::Saveas1Click},
        {Reset1, &TForm1::Reset1Click},
        {Help2, &TForm1::Help2Click},
        {About1, &TForm1::About1Click},
        {Quit1, &TForm1::Quit1Click},
        {DE1, &TForm1::DE1Click},
        {Useasref1, &TForm1::Useasref1Click},
        {parametry1, &TForm1::parametry1Click},
        {HELP1, &TForm1::HELP1Click},
        {ExportFlowVolumePlot1, &TForm1::ExportFlowVolumePlot1Click},
        {ExportVolumeTimePlot1, &TForm1::ExportVolumeTimePlot1Click},
        {ExportResults1, &TForm1::ExportResults1Click},
        {ExportFlowVolumeCurves1, &TForm1::ExportFlowVolumeCurves1Click},
        {ExportVolumeTimeCurves1, &TForm1::ExportVolumeTimeCurves1Click},
        {ExportSpirogram1, &TForm1::ExportSpirogram1Click},
        {ExportReport1, &TForm1::ExportReport1Click},
        {Patient1, &TForm1::Patient1Click},
        {Interpretation1, &TForm1::Interpretation1Click},
        {Interpretation2, &TForm1::Interpretation1Click},
    };
    for (const auto& [item, handler] : items)
        wireCommand(item, &QAction::triggered, handler);

    wireCommand(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    wireCommand(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    wireCommand(Button6, &QPushButton::clicked, &TForm1::Button6Click);
    connect(results_, &ResultsView::rowChanged, this,
            [this](int row) { runCommand([this, row] { StringGrid2SelectCell(row); }); });
    connect(results_, &ResultsView::rowClicked, this,
            [this](int row) { runCommand([this, row] { StringGrid2CurrentRowClick(row); }); });
    connect(results_, &ResultsView::rowRightClicked, this, [this](QPoint position, int row) {
        runCommand([this, position, row] { StringGrid2RightClick(position, row); });
    });

    // What the window's parts did: a setting command's changes, a group or region picked, the
    // replay's lock.
    connect(panel_, &ControlPanel::changed, this, &TForm1::RefreshResultViews);
    connect(panel_, &ControlPanel::groupPicked, airway_, &AirwayPictureView::showGroupRegion);
    connect(airway_, &AirwayPictureView::sectionPicked, panel_, &ControlPanel::SelectSection);
    connect(airway_, &AirwayPictureView::replayLocking, this, [this](bool locked) {
        setLockableControlsEnabled(
            {panel_->resetButton(), Button2, Button3, Button6, airway_->animationButtons()[0]},
            !locked);
        // A new client area that came while the replay drew is followed now.
        if (!locked)
            followMaximisedClientArea();
    });
}

void TForm1::Quit1Click() {
    close();
}

} // namespace vm::ui

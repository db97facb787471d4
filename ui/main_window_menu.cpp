// The menu bar, made of the parts' menus and the window's own items, the row grid's pop-up menu;
// the handlers of the window's own controls and what its parts report.

#include "ui/main_window.h"

#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/export_menu.h"
#include "ui/file_menu.h"
#include "ui/reading_menu.h"
#include "ui/results_view.h"
#include "ui/widget_making.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <utility>

namespace vm::ui {

// The parts' menus first, in the order of the menu bar, then the window's own items, the row
// grid's menu and the teaching cases.
void TForm1::createMenus() {
    QMenuBar* MainMenu1 = named(menuBar(), "MainMenu1");
    const CommandRunner run = [this](const std::function<void()>& command) {
        return runCommand(command);
    };
    files_ = new FileMenu(MainMenu1, session_, interaction_, run);
    exports_ = new ExportMenu(MainMenu1, session_, interaction_, run, Image2, Image3);
    reading_ = new ReadingMenu(this, MainMenu1, session_, interaction_, run);

    Reset1 = makeAction(this, "Reset1", QStringLiteral("ref.Standard"));
    Help2 = makeAction(this, "Help2", QStringLiteral("Pomoc"));
    About1 = makeAction(this, "About1", QStringLiteral("Autorzy"));
    Quit1 = makeAction(this, "Quit1", QStringLiteral("Koniec"));
    MainMenu1->addActions({Reset1, Help2, About1, Quit1});

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    DE1 = makeAction(this, "DE1", QStringLiteral("Usuń wybrany wiersz"));
    Useasref1 = makeAction(this, "Useasref1", QStringLiteral("Użyj jako referencyjny"));
    parametry1 = makeAction(this, "parametry1", QStringLiteral("Nastawy"));
    HELP1 = makeAction(this, "HELP1", QStringLiteral("Pomoc"));
    // The reading of the selected result comes last, after the row's own commands.
    PopupMenu1->addActions({DE1, Useasref1, parametry1, HELP1, reading_->rowMenuItem()});
    createCaseMenus();
}

void TForm1::connectHandlers() {
    // Every item of the window's own in the main menu and the row menu, with its handler.
    const std::pair<QAction*, void (TForm1::*)()> items[] = {
        {Reset1, &TForm1::Reset1Click},
        {Help2, &TForm1::Help2Click},
        {About1, &TForm1::About1Click},
        {Quit1, &TForm1::Quit1Click},
        {DE1, &TForm1::DE1Click},
        {Useasref1, &TForm1::Useasref1Click},
        {parametry1, &TForm1::parametry1Click},
        {HELP1, &TForm1::HELP1Click},
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
    connect(files_, &FileMenu::changed, this, &TForm1::RefreshResultViews);
    connect(reading_, &ReadingMenu::changed, this, &TForm1::RefreshResultViews);
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

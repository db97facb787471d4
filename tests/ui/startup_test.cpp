// Start-up on good and damaged program folders: what the user is told, whether the program
// quits, and what state the window is left in.

#include "data/jpeg_picture.h"
#include "record/record_file.h"
#include "record/vocabulary.h"
#include "session/user_folder.h"
#include "window_fixture.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

using namespace vm::record;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::ui;

namespace fs = std::filesystem;

namespace {

// The scratch and probe files start-up leaves behind in the folder, if any.
int leftOver(const fs::path& folder, const std::string& stem) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().filename().string().starts_with(stem + "-") ? 1 : 0;
    return count;
}

// After start-up stopped at a damaged data file: the note box says so and START does nothing.
void expectStartUnavailable(TForm1& form, RecordingInteraction& interaction,
                            const SimulationRecord& record, const char* what) {
    const WindowProbe ui(form);
    EXPECT_TRUE(form.startUnavailable()) << what;
    EXPECT_FALSE(ui.Button2()->isEnabled()) << what;
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().contains(QStringLiteral("START jest niedostępny")))
        << what;
    const SimulationRecord before = record;
    const auto messages = interaction.messages.size();
    WindowProbe(form).Button2Click();
    EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(), record.bytes().begin()))
        << what;
    EXPECT_EQ(interaction.messages.size(), messages) << what;
}

} // namespace

TEST(Startup, GoodFolderStartsQuietlyWithTheStandardLoaded) {
    DataFolder folder;
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);

    EXPECT_TRUE(w.interaction.messages.isEmpty()) << w.interaction.messages.join('|').toStdString();
    EXPECT_FALSE(form.terminationRequested());
    EXPECT_TRUE(form.windowTitle().startsWith(QStringLiteral("Velta Morvane ")));
    EXPECT_EQ(w.session->currentFileName(), "data_default.spi");
    EXPECT_EQ(w.state.resultCount, 0);
    EXPECT_EQ(w.state.selectedRow, -1);
    for (const auto& part : w.state.currentPartSettings)
        for (double v : part)
            EXPECT_EQ(v, 100.0);
    // The row grid's cursor stands on row 1 although nothing is selected.
    EXPECT_EQ(ui.StringGrid2()->row(), 1);

    // The record holds the file's indices; part settings are brought to 100 in every row by the
    // model's initialisation, global settings keep the file's values.
    EXPECT_EQ(w.record.field(0, RowField::fev1), folder.standard().field(0, RowField::fev1));
    for (int row = 0; row < 5; ++row)
        for (int c = 0; c < layout::kSettingColumns; ++c)
            EXPECT_EQ(w.record.partSetting(row, kEditedPart, c), 100.0f);
    EXPECT_EQ(w.record.globalSetting(0, GlobalItem::expirationDepth), 120.0f);

    // The parameter table went into the hidden grid.
    EXPECT_EQ(ui.tparm().cell(0, 1), "2");
    EXPECT_EQ(ui.tparm().cell(4, 1), "80");

    // Pictures decoded at their own sizes, the scratch copy gone, the frame buffer as Image1.
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(WindowProbe(form).pictureTable()[k].width(), DataFolder::pictureWidth(k)) << k;
        EXPECT_EQ(WindowProbe(form).pictureTable()[k].height(), DataFolder::pictureHeight(k)) << k;
    }
    for (int k = 6; k <= 11; ++k)
        EXPECT_TRUE(WindowProbe(form).pictureTable()[k].isNull()) << k;
    EXPECT_EQ(WindowProbe(form).backgroundPicture().size(), QSize(64, 48));
    EXPECT_FALSE(fs::exists(folder.dataFile("temp.dat")));
    EXPECT_EQ(WindowProbe(form).pictureBuffer().size(), ui.Image1()->size());
    EXPECT_EQ(WindowProbe(form).activeSection(), 0);
    EXPECT_EQ(WindowProbe(form).rowColors()[2], QColor(0, 128, 0));
    EXPECT_EQ(WindowProbe(form).rowColors()[3], QColor(128, 0, 128));
}

TEST(Startup, MissingDataFilesGiveTheWeightedNumberAndQuit) {
    struct Case {
        std::vector<std::string> removed;
        QString number;
    };
    const Case cases[] = {
        {{"F002.dat", "standard.dat"}, QStringLiteral("1000100")},
        {{"F000.dat"}, QStringLiteral("1")},
        {{"F005.dat"}, QStringLiteral("100000")},
        {{"F000.dat", "F001.dat", "F002.dat", "F003.dat", "F004.dat", "F005.dat", "standard.dat"},
         QStringLiteral("1111111")},
    };
    for (const Case& c : cases) {
        DataFolder folder;
        for (const std::string& name : c.removed)
            folder.remove(name);
        WindowUnderTest w;
        TForm1& form = w.start(folder);
        ASSERT_FALSE(w.interaction.messages.isEmpty());
        EXPECT_EQ(w.interaction.messages.first(),
                  QStringLiteral("One of the application files is missing or corrupted ") +
                      c.number);
        EXPECT_TRUE(form.terminationRequested()) << c.number.toStdString();
    }
}

TEST(Startup, MissingParameterTableIsReportedWithItsFullPathAndStartUpGoesOn) {
    DataFolder folder;
    folder.remove("F000.dat");
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);
    ASSERT_EQ(w.interaction.messages.size(), 2) << w.interaction.messages.join('|').toStdString();
    const QString path = QString::fromStdString(folder.dataFile("F000.dat").string());
    EXPECT_TRUE(w.interaction.messages[1].startsWith(QStringLiteral("File not found:")));
    EXPECT_TRUE(w.interaction.messages[1].contains(path))
        << w.interaction.messages[1].toStdString();
    // Everything after the table still ran.
    EXPECT_EQ(ui.StringGrid1()->cells().cell(2, 1), "3.12");
    EXPECT_FALSE(WindowProbe(form).pictureTable()[5].isNull());
}

// Pictures far larger than the airway picture are kept no larger than it needs: covering it, so
// that drawing only shrinks them, but well below their stored size.
TEST(Startup, LargePicturesAreKeptAtTheSizeTheyAreShownAt) {
    DataFolder folder;
    std::vector<std::uint8_t> large = plainJpeg(2400, 1800);
    folder.writeBytes("tlo.dat", large);
    std::reverse(large.begin(), large.begin() + 100);
    for (int k = 1; k <= 5; ++k)
        folder.writeBytes("F00" + std::to_string(k) + ".dat", large);
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);
    const QSize shown = ui.Image1()->size();
    const QImage* pictures[] = {&ui.pictureTable()[1], &ui.pictureTable()[5],
                                &ui.backgroundPicture()};
    for (const QImage* picture : pictures) {
        EXPECT_TRUE(picture->width() >= shown.width() && picture->height() >= shown.height());
        EXPECT_LE(picture->width() * picture->height(), 4 * shown.width() * shown.height());
    }
}

TEST(Startup, ShortStandardRecordStopsStartUpWithTheFileLayersMessage) {
    DataFolder folder;
    folder.writeBytes("standard.dat", std::vector<std::uint8_t>(1000, 0x11));
    SimulationRecord scratch;
    const FileResult expected = readRecordFile(folder.dataFile("standard.dat"), scratch);
    ASSERT_FALSE(expected.ok);

    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);
    ASSERT_EQ(w.interaction.messages.size(), 1);
    EXPECT_EQ(w.interaction.messages.first(), QString::fromStdString(expected.message));
    // The window is still there to be closed, and nothing after the record was done.
    EXPECT_FALSE(form.terminationRequested());
    EXPECT_EQ(ui.StringGrid1()->cells().cell(2, 1), "");
    EXPECT_TRUE(WindowProbe(form).pictureTable()[1].isNull());
    EXPECT_EQ(w.record.field(0, RowField::fev1), 0.0f);
    expectStartUnavailable(form, w.interaction, w.record, "short standard record");
    form.show();
    EXPECT_TRUE(form.isVisible());
}

TEST(Startup, BadPictureStopsStartUpWithTheDecodersMessageAndRemovesTheScratchFile) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> notJpeg(400);
    for (std::size_t i = 0; i < notJpeg.size(); ++i)
        notJpeg[i] = static_cast<std::uint8_t>(i * 7);
    const Case cases[] = {{"not a JPEG once reversed", notJpeg},
                          {"shorter than 100 bytes", std::vector<std::uint8_t>(60, 0xFF)}};
    for (const Case& c : cases) {
        DataFolder folder;
        folder.writeBytes("F003.dat", c.bytes);
        // What decoding that file says, worked out with a scratch file outside the program
        // folder; the message names the picture, not the scratch copy.
        const PictureResult expected =
            decodeReversedPicture(folder.dataFile("F003.dat"), folder.path() / "scratch");
        ASSERT_FALSE(expected.ok) << c.what;
        const QString expectedMessage = QString::fromStdString(expected.message);
        EXPECT_TRUE(
            expectedMessage.contains(QString::fromStdString(folder.dataFile("F003.dat").string())))
            << c.what;

        WindowUnderTest w;
        TForm1& form = w.start(folder);
        ASSERT_EQ(w.interaction.messages.size(), 1) << c.what;
        EXPECT_EQ(w.interaction.messages.first(), expectedMessage) << c.what;
        EXPECT_EQ(leftOver(folder.path() / "datfiles1", "temp"), 0) << c.what;
        EXPECT_FALSE(WindowProbe(form).pictureTable()[2].isNull()) << c.what;
        EXPECT_TRUE(WindowProbe(form).pictureTable()[3].isNull()) << c.what;
        EXPECT_TRUE(WindowProbe(form).backgroundPicture().isNull()) << c.what;
        // The model's initialisation did not run: the file's settings are still in the record.
        EXPECT_EQ(w.record.partSetting(0, kEditedPart, SettingColumn::vdc), 110.0f) << c.what;
        EXPECT_FALSE(form.terminationRequested()) << c.what;
        expectStartUnavailable(form, w.interaction, w.record, c.what);
    }
}

// A refused copy says only that one runs and touches no file the running copy uses: whatever it
// would have found on its way is not its business.
TEST(Startup, RefusedCopyStopsBeforeTouchingAnyFile) {
    const struct {
        const char* what;
        std::function<void(const DataFolder&)> damage;
    } cases[] = {
        {"nothing changed", [](const DataFolder&) {}},
        {"standard record gone", [](const DataFolder& f) { f.remove("standard.dat"); }},
        {"simulations folder gone",
         [](const DataFolder& f) { fs::remove_all(f.path() / "simulations"); }},
        {"bad picture",
         [](const DataFolder& f) {
             f.writeBytes("F002.dat", {1, 2, 3});
         }},
    };
    for (const auto& c : cases) {
        DataFolder folder;
        WindowUnderTest first;
        first.start(folder);
        ASSERT_TRUE(first.interaction.messages.isEmpty()) << c.what;
        c.damage(folder);
        const auto modified = fs::last_write_time(folder.path() / "datfiles1");
        WindowUnderTest second;
        TForm1& form = second.start(folder);
        EXPECT_EQ(second.interaction.messages,
                  QStringList({QStringLiteral("This program is already running.")}))
            << c.what;
        EXPECT_TRUE(form.terminationRequested()) << c.what;
        EXPECT_EQ(fs::last_write_time(folder.path() / "datfiles1"), modified) << c.what;
        EXPECT_TRUE(first.interaction.messages.isEmpty()) << c.what;
    }
}

// Another copy starting at the same moment holds its own probe and scratch files; names the
// program once used for both, taken by something else, disturb nothing.
TEST(Startup, ProbeAndScratchNamesAreThisCopysOwn) {
    DataFolder folder;
    fs::create_directory(folder.path() / "simulations" / "test.dat");
    fs::create_directory(folder.dataFile("temp.dat"));
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    EXPECT_TRUE(w.interaction.messages.isEmpty()) << w.interaction.messages.join('|').toStdString();
    EXPECT_FALSE(form.terminationRequested());
    EXPECT_FALSE(WindowProbe(form).pictureTable()[5].isNull());
    EXPECT_TRUE(fs::is_directory(folder.dataFile("temp.dat")));
    EXPECT_EQ(leftOver(folder.path() / "datfiles1", "temp"), 0);
    EXPECT_EQ(leftOver(folder.path() / "simulations", "test"), 0);
}

TEST(Startup, SecondCopyIsRefusedAndTheFirstIsUnaffected) {
    DataFolder folder;
    WindowUnderTest first;
    first.start(folder);
    ASSERT_TRUE(first.interaction.messages.isEmpty());

    {
        WindowUnderTest second;
        TForm1& form = second.start(folder);
        ASSERT_FALSE(second.interaction.messages.isEmpty());
        EXPECT_EQ(second.interaction.messages.first(),
                  QStringLiteral("This program is already running."));
        EXPECT_TRUE(form.terminationRequested());
    }
    EXPECT_FALSE(first.form->terminationRequested());
    EXPECT_EQ(first.interaction.messages.size(), 0);

    // Once the first copy is gone, the next one starts.
    first.form.reset();
    WindowUnderTest third;
    EXPECT_FALSE(third.start(folder).terminationRequested());
    EXPECT_TRUE(third.interaction.messages.isEmpty());
}

TEST(Startup, MissingSimulationsFolderIsRefusedAsReadOnly) {
    DataFolder folder;
    fs::remove_all(folder.path() / "simulations");
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    ASSERT_FALSE(w.interaction.messages.isEmpty());
    EXPECT_TRUE(w.interaction.messages.first().startsWith(
        QStringLiteral("This application cannot work on the read only disk.\nFile not found: ")))
        << w.interaction.messages.first().toStdString();
    EXPECT_TRUE(form.terminationRequested());
}

TEST(Startup, FoldersAreFoundWhateverTheirLetterCase) {
    DataFolder folder;
    fs::rename(folder.path() / "datfiles1", folder.path() / "DatFiles1");
    fs::rename(folder.path() / "simulations", folder.path() / "SIMULATIONS");
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    EXPECT_TRUE(w.interaction.messages.isEmpty()) << w.interaction.messages.join('|').toStdString();
    EXPECT_FALSE(form.terminationRequested());
    EXPECT_EQ(leftOver(folder.path() / "DatFiles1", "temp"), 0);
}

// A scratch copy that cannot be written is the folder's fault, not damaged data, and is told once:
// not again after the write probe has told about the folder. Installed, a user's folder that
// cannot be made is told once with the reason the system gave, and nothing is written.
TEST(Startup, AnUnwritableFolderIsToldOnceWithItsCause) {
    const struct {
        const char* what;
        const char* userFolder; // below the data folder, with simulations/ for "user"; "": none
        const char* cause;
    } cases[] = {{"scratch", "user", "(Not a directory)"},
                 {"probe", "empty", "(No such file or directory)"},
                 {"installed", "", "(Not a directory)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFolder folder;
        const fs::path user = folder.path() / c.userFolder;
        const bool installed = *c.userFolder == '\0';
        if (!installed) {
            fs::create_directories(user / (*c.userFolder == 'u' ? "simulations" : ""));
            std::ofstream(user / "datfiles1") << "a file, not a folder";
        }
        std::ofstream(folder.path() / "installed-layout") << "";
        ::setenv("XDG_DATA_HOME", folder.dataFile("F000.dat").c_str(), 1);
        WindowUnderTest w;
        TForm1& form =
            w.start(folder, installed ? resolveProgramFolder(folder.exeDir().toStdString())
                                      : ProgramFolder{folder.exeDir().toStdString(), user});
        ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(w.interaction.messages.size(), 1)
            << w.interaction.messages.join('|').toStdString();
        EXPECT_TRUE(w.interaction.messages.value(0).contains(QLatin1String(c.cause)))
            << w.interaction.messages.value(0).toStdString();
        const QString note = WindowProbe(form).RichEdit1()->toPlainText();
        EXPECT_EQ(note.contains(QStringLiteral("(Not a directory)")), !installed);
        EXPECT_EQ(leftOver(folder.path() / "datfiles1", "temp"), 0);
    }
}

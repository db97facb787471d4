// Start-up: from launch to the first usable state. The steps run in a fixed order; a reason to
// quit found early only marks the program for termination, and the later steps still run.

#include "ui/main_window.h"

#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "data/single_instance.h"
#include "data/startup_checks.h"
#include "record/record_file.h"
#include "ui/interaction.h"
#include "ui/picture_image.h"
#include "ui/vector_registers.h"
#include "ui/version_label.h"

#include <QPainter>
#include <QPushButton>
#include <QStringLiteral>
#include <QTextEdit>

#include <system_error>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

namespace {
const QString kMakerLine = QStringLiteral("(teaching edition)");
const QString kDamagedDataNote = QStringLiteral(
    "Pliki danych programu są uszkodzone, więc START jest niedostępny. Zainstaluj program "
    "ponownie.");
constexpr int kAirwayPictures = 5;
} // namespace

std::filesystem::path TForm1::exeDirPath() const {
    return session_.folder().exeDir;
}

std::filesystem::path TForm1::dataFilePath(std::string_view relative) const {
    return session_.folder().dataPath(relative);
}

void TForm1::runStartup() {
    // One copy only; a second one says so and quits before its first message.
    instanceMarker_ = instanceLockDirectory_.empty()
                          ? std::make_unique<SingleInstanceMarker>()
                          : std::make_unique<SingleInstanceMarker>(instanceLockDirectory_);
    if (!instanceMarker_->acquire()) {
        // The refused copy touches no file: the running one may be reading the same ones.
        interaction_.showMessage(QStringLiteral("This program is already running."));
        requestTermination();
        instanceMarker_.reset();
        return;
    }
    installHelpRefusal();

    const int missing = missingDataFilesNumber(exeDirPath());
    if (missing != 0) {
        interaction_.showMessage(QString::fromStdString(missingFilesMessage(missing)));
        requestTermination();
    }
    if (const FileResult probe = writeProbe(session_.folder().writableRoot()); !probe.ok) {
        interaction_.showMessage(QString::fromStdString(probe.message));
        requestTermination();
    }

    setWindowTitle(QStringLiteral("Velta Morvane ") + versionLabel() + QStringLiteral("  ") +
                   kMakerLine);
    // Qt paints every widget through its own back buffer: the window is double-buffered as is.
    LayoutMainWindow();

    const FileResult table = ReadParameterTable(dataFilePath("datfiles1/F000.dat"), tparm);
    if (!table.ok)
        interaction_.showMessage(QString::fromStdString(table.message));

    for (int row = 0; row < layout::kRowCount; ++row) {
        const std::uint32_t rgb = rowColour(row);
        rowColors[static_cast<std::size_t>(row)] = QColor::fromRgb(rgb);
    }

    const ViewChanges standard = session_.LoadStandardRecord();
    if (standard.message) {
        RefreshResultViews(standard);
        reportDamagedDataFiles();
        return;
    }
    RefreshResultViews(session_.ResetCurrentSettings());
    // The plots show the reference curve and the empty volume-time frame on canvases of their
    // controls' size as laid out.
    resizePlotCanvases();
    RefreshResultViews(standard);

    for (QImage& picture : pictureTable)
        picture = QImage();
    if (!loadPictures()) {
        reportDamagedDataFiles();
        return;
    }

    pictureBuffer = QImage(Image1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    pictureBuffer.fill(Qt::white);
    showFirstAirwayPicture();
    SelectSection(0);
    initialiseProgramModel();
}

void TForm1::reportDamagedDataFiles() {
    startUnavailable_ = true;
    Button2->setEnabled(false);
    RichEdit1->setPlainText(kDamagedDataNote);
}

bool TForm1::loadPictures() {
    // A scratch copy of its own: another copy starting at the same moment decodes through its own.
    std::filesystem::path temp;
    if (const FileResult made =
            createUniqueFile(session_.folder().writablePath("datfiles1"), "temp", ".dat", temp);
        !made.ok) {
        interaction_.showMessage(QString::fromStdString(made.message));
        return false;
    }
    const auto dropTemp = [&temp] {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    };
    // Every picture is drawn over Image1 (the background through pictureBuffer, of its size): none
    // is kept larger than that needs.
    const PictureSize shownAt{Image1->width(), Image1->height()};
    for (int k = 1; k <= kAirwayPictures; ++k) {
        const std::string source = "datfiles1/F00" + std::to_string(k) + ".dat";
        const PictureResult decoded = decodeReversedPicture(dataFilePath(source), temp, shownAt);
        if (!decoded.ok) {
            interaction_.showMessage(QString::fromStdString(decoded.message));
            dropTemp();
            return false;
        }
        pictureTable[static_cast<std::size_t>(k)] = pictureToImage(decoded.picture);
    }
    dropTemp();

    const PictureResult background = decodeJpegFile(dataFilePath("datfiles1/tlo.dat"), shownAt);
    if (!background.ok) {
        interaction_.showMessage(QString::fromStdString(background.message));
        return false;
    }
    backgroundPicture = pictureToImage(background.picture);
    return true;
}

// The model settles into the state every run begins from; this also brings every row's part
// settings to 100, whatever the standard file held.
void TForm1::initialiseProgramModel() {
    clearUpperVectorRegisters();
    session_.InitialiseModel([this] { interaction_.beep(); });
}

void TForm1::resizePlotCanvases() {
    for (ImageView* plot : {Image2, Image3})
        plot->resizeCanvas(plot->size());
}

// The plain airway picture, stretched over its control, until a region is picked.
void TForm1::showFirstAirwayPicture() {
    Image1->resizeCanvas(Image1->size());
    if (!pictureTable[1].isNull()) {
        QPainter painter(&Image1->canvas());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(Image1->canvas().rect(), pictureTable[1]);
    }
    Image1->update();
}

} // namespace vm::ui

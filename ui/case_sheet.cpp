#include "ui/case_sheet.h"

#include "session/hidden_settings.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

using namespace vm::session;

namespace vm::ui {

namespace {

// The record rows as the plots and tables colour them, as the subject and as the object.
QString rowName(int row) {
    static constexpr std::array<const char*, 4> kNames{
        "Referencja (czarna)", "Wiersz 1 (czerwony)", "Wiersz 2 (zielony)", "Wiersz 3 (fioletowy)"};
    return QString::fromUtf8(kNames.at(static_cast<std::size_t>(row)));
}
QString rowToCompare(int row) {
    static constexpr std::array<const char*, 4> kNames{
        "referencję (czarną)", "wiersz 1 (czerwony)", "wiersz 2 (zielony)", "wiersz 3 (fioletowy)"};
    return QString::fromUtf8(kNames.at(static_cast<std::size_t>(row)));
}

QString html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString settingsHtml(const std::vector<CaseSetting>& settings) {
    QStringList parts;
    for (const CaseSetting& s : settings)
        parts << html(settingText(s));
    return parts.isEmpty() ? QStringLiteral("wszystkie nastawy 100 %")
                           : parts.join(QStringLiteral("; "));
}

// Each hidden setting once, with its values in the order of the runs: "… 700, 1300, 2000 %".
QString hiddenHtml(const TeachingCase& c) {
    std::vector<std::pair<std::string, QStringList>> named;
    for (const CaseRun& run : c.runs)
        for (const CaseSetting& s : run.settings) {
            if (!isHiddenSetting(s))
                continue;
            auto found = std::ranges::find(named, settingWords(s),
                                           &std::pair<std::string, QStringList>::first);
            if (found == named.end())
                found = named.insert(named.end(), {settingWords(s), {}});
            found->second << QString::number(std::lround(s.percent));
        }
    QStringList parts;
    for (const auto& [words, values] : named)
        parts << html(words) + QLatin1Char(' ') + values.join(QStringLiteral(", ")) +
                     QStringLiteral(" %");
    return parts.join(QStringLiteral("; "));
}

// "a, b i c"
QString listed(const QStringList& items) {
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" i ") +
           items.last();
}

} // namespace

CaseSheet::CaseSheet(QWidget* owner) : QDialog(owner, Qt::Tool) {
    setObjectName(QStringLiteral("CaseSheet"));
    setModal(false);
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("CaseText"));
    answersButton_ = new QPushButton(QStringLiteral("Pokaż odpowiedzi"), this);
    answersButton_->setObjectName(QStringLiteral("ShowAnswers"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(answersButton_);
    resize(520, 620);
    connect(answersButton_, &QPushButton::clicked, this, &CaseSheet::ShowAnswersClick);
}

void CaseSheet::showCase(const TeachingCase& teachingCase) {
    case_ = &teachingCase;
    setWindowTitle(QStringLiteral("Przypadek: ") + QString::fromStdString(teachingCase.title));
    QString page = QStringLiteral("<h3>%1</h3><p><b>Pacjent:</b> %2. %3</p>")
                       .arg(html(teachingCase.title), html(patientText(teachingCase.patient)),
                            html(teachingCase.story));
    page += QStringLiteral("<p>Referencja to wartości należne tego pacjenta.</p>");
    QStringList rows;
    for (std::size_t k = 0; k < teachingCase.runs.size(); ++k) {
        const CaseRun& run = teachingCase.runs[k];
        rows << QStringLiteral("<b>%1</b>%2: %3")
                    .arg(rowName(teachingCase.rowOfRun(k)),
                         run.label.empty() ? QString() : QStringLiteral(", ") + html(run.label),
                         settingsHtml(run.settings));
    }
    QStringList compared;
    for (const int row : teachingCase.compareRows)
        compared << rowToCompare(row);
    page += QStringLiteral("<p>%1</p><p><b>Porównaj</b> %2.</p>")
                .arg(rows.join(QStringLiteral("<br>")), listed(compared));
    if (const QString hidden = hiddenHtml(teachingCase); !hidden.isEmpty())
        page += QStringLiteral("<p><b>Nastawy bez suwaka:</b> %1. Nie zmienia ich żaden suwak; "
                               "przywraca je „Przywróć wszystkie nastawy”.</p>")
                    .arg(hidden);
    text_->setHtml(page + questionsHtml());
    answersButton_->setEnabled(true);
    show();
    raise();
}

QString CaseSheet::questionsHtml() const {
    QString list = QStringLiteral("<p><b>Pytania</b></p><ol>");
    for (const CaseQuestion& q : case_->questions)
        list += QStringLiteral("<li>%1</li>").arg(html(q.question));
    return list + QStringLiteral("</ol>");
}

void CaseSheet::ShowAnswersClick() {
    if (case_ == nullptr)
        return;
    QString answers = QStringLiteral("<p><b>Odpowiedzi</b></p><ol>");
    for (const CaseQuestion& q : case_->questions)
        answers += QStringLiteral("<li>%1</li>").arg(html(q.answer));
    answers += QStringLiteral("</ol><p><b>Wyjaśnienie:</b> %1</p>").arg(html(case_->explanation));
    text_->append(answers);
    answersButton_->setEnabled(false);
}

} // namespace vm::ui

#include "ui/case_sheet.h"

#include "session/hidden_settings.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <array>

using namespace vm::session;

namespace vm::ui {

namespace {

// The record rows as the plots and tables colour them.
QString rowName(int row) {
    static constexpr std::array<const char*, 4> kNames{
        "referencja (czarna)", "wiersz 1 (czerwony)", "wiersz 2 (zielony)", "wiersz 3 (fioletowy)"};
    return QString::fromUtf8(kNames.at(static_cast<std::size_t>(row)));
}

QString html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString settingsHtml(const std::vector<CaseSetting>& settings) {
    QStringList parts;
    for (const CaseSetting& s : settings)
        parts << html(settingText(s));
    return parts.isEmpty() ? QStringLiteral("wszystkie nastawy 100 %") : parts.join(QStringLiteral("; "));
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
    page += QStringLiteral("<p>Referencja to wartości należne tego pacjenta.</p><p>");
    std::vector<CaseSetting> hidden;
    for (std::size_t k = 0; k < teachingCase.runs.size(); ++k) {
        const CaseRun& run = teachingCase.runs[k];
        QString label = rowName(teachingCase.rowOfRun(k));
        label[0] = label[0].toUpper();
        page += QStringLiteral("<b>%1</b>%2: %3<br>")
                    .arg(label,
                         run.label.empty() ? QString() : QStringLiteral(", ") + html(run.label),
                         settingsHtml(run.settings));
        for (const CaseSetting& s : run.settings)
            if (isHiddenSetting(s))
                hidden.push_back(s);
    }
    QStringList compared;
    for (const int row : teachingCase.compareRows)
        compared << rowName(row);
    page += QStringLiteral("</p><p><b>Porównaj:</b> %1.</p>").arg(compared.join(QStringLiteral(", ")));
    if (!hidden.empty())
        page += QStringLiteral("<p><b>Nastawy bez suwaka:</b> %1. Nie zmienia ich żaden suwak; "
                               "przywraca je „Przywróć wszystkie nastawy”.</p>")
                    .arg(settingsHtml(hidden));
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

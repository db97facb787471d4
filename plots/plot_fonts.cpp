#include "plots/plot_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

namespace vm::plots {

namespace {

QString genericFamily(QFont::StyleHint hint) {
    // The generic names are aliases the system's font configuration knows; QFontInfo tells which
    // installed family they stand for.
    QFont generic(hint == QFont::Serif ? QStringLiteral("serif") : QStringLiteral("sans-serif"));
    generic.setStyleHint(hint);
    return QFontInfo(generic).family();
}

} // namespace

QString installedFamily(const QString& family, QFont::StyleHint fallback) {
    static QHash<QString, QString> resolved; // plots draw on the user-interface thread only
    const QString key = family + QChar(u'|') + QString::number(int(fallback));
    auto found = resolved.constFind(key);
    if (found != resolved.constEnd())
        return *found;
    const QString family_ = QFontDatabase::hasFamily(family) ? family : genericFamily(fallback);
    resolved.insert(key, family_);
    return family_;
}

QFont plotFont(const QString& family, int pointSize, QFont::StyleHint fallback) {
    QFont font(installedFamily(family, fallback));
    font.setPointSize(pointSize);
    font.setStyleHint(fallback, QFont::NoAntialias);
    // Without smoothing, an outline font this small keeps its letters and spaces only when its
    // glyphs are snapped to whole pixels: unhinted, "Vol (l)" reads as "Vbl(l)".
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont defaultPlotFont(int pointSize) {
    // Asked once: every drawing step starts from this font.
    static const QString family = installedFamily(
        QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), QFont::SansSerif);
    QFont font(family);
    font.setPointSize(pointSize);
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    return font;
}

} // namespace vm::plots

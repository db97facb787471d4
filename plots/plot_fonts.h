#pragma once
// The fonts the plots ask for by name. A family missing on this system is replaced once by the
// system's own serif or sans-serif family, so the font matcher never searches (and warns) again.

#include <QFont>
#include <QString>

namespace vm::plots {

// The family itself when installed, else the installed family that stands for `fallback`
// (QFont::Serif or QFont::SansSerif). Resolved once per name.
QString installedFamily(const QString& family, QFont::StyleHint fallback);

// A plain font of that family (or its stand-in) at the point size, drawn without antialiasing so
// that the plots' pixels do not depend on the screen's smoothing.
QFont plotFont(const QString& family, int pointSize, QFont::StyleHint fallback);

// The plain sans-serif user-interface font of this system, at the point size.
QFont defaultPlotFont(int pointSize);

} // namespace vm::plots

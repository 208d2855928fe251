#pragma once
#include <QString>

namespace tamaruka {

// The music file chooser's title and its one filter. Qt reads the patterns
// from the last parentheses and the dialog hides them, so the user sees
// "BGMﾌｧｲﾙ (MP3 WAV)"; the bracket classes match the extensions in any case.
inline const QString chooserTitle = QStringLiteral("ﾌｧｲﾙを開く");
inline const QString chooserFilterDescription = QStringLiteral("BGMﾌｧｲﾙ (MP3 WAV)");
inline const QString chooserFilter =
    chooserFilterDescription + QStringLiteral(" (*.[mM][pP]3 *.[wW][aA][vV])");

}  // namespace tamaruka

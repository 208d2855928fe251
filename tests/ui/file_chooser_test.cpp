#include "frontend/ui/file_chooser.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

namespace tamaruka {
namespace {

// The patterns as the file dialog takes them: the last parenthesised group,
// split at blanks, each a wildcard matched with case (as on a case-sensitive
// file system).
QStringList filterPatterns()
{
    const qsizetype open = chooserFilter.lastIndexOf(u'(');
    return chooserFilter.mid(open + 1, chooserFilter.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
}

bool offered(const QString& fileName)
{
    for (const QString& pattern : filterPatterns()) {
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(pattern));
        if (wildcard.match(fileName).hasMatch())
            return true;
    }
    return false;
}

TEST(FileChooser, TitleAndVisibleFilterText)
{
    EXPECT_EQ(chooserTitle.toStdString(), "ﾌｧｲﾙを開く");
    EXPECT_EQ(chooserFilterDescription.toStdString(), "BGMﾌｧｲﾙ (MP3 WAV)");
    EXPECT_TRUE(chooserFilter.startsWith(chooserFilterDescription + u' '));
}

TEST(FileChooser, OffersMp3AndWavInAnyCaseOnly)
{
    for (const char* name : {"song.mp3", "SONG.MP3", "Song.Mp3", "loop.wav", "LOOP.WAV", "loop.wAv"})
        EXPECT_TRUE(offered(QString::fromUtf8(name))) << name;
    for (const char* name : {"song.mp4", "song.ogg", "mp3", "song.mp3.txt", "wav", "a.wave"})
        EXPECT_FALSE(offered(QString::fromUtf8(name))) << name;
}

}  // namespace
}  // namespace tamaruka

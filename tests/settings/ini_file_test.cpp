#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "tests/support/temp_folder.h"

namespace tamaruka {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// The three keys as code page 932 bytes.
const std::string kindKeyBytes = "BGM\x8B\xE6\x95\xAA";
const std::string repeatKeyBytes = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string fileKeyBytes = "BGM\xCC\xA7\xB2\xD9";

TEST(IniFile, RoundTripsInCodePage932)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    const std::string music = "/home/ユーザー/音楽/花火.mp3";
    EXPECT_TRUE(WriteIni("Section", bgmKindKey, " 2", ini));
    EXPECT_TRUE(WriteIni("Section", bgmRepeatKey, " 0", ini));
    EXPECT_TRUE(WriteIni("Section", bgmFileKey, music, ini));

    EXPECT_EQ(readBytes(ini), "[Section]\r\n" + kindKeyBytes + "= 2\r\n" + repeatKeyBytes +
                                  "= 0\r\n" + fileKeyBytes +
                                  "=/home/\x83\x86\x81\x5B\x83\x55\x81\x5B/\x89\xB9\x8A\x79/"
                                  "\x89\xD4\x89\xCE.mp3\r\n");
    EXPECT_EQ(ReadIni("Section", bgmKindKey, ini), "2");  // blanks around values go
    EXPECT_EQ(ReadIni("Section", bgmRepeatKey, ini), "0");
    EXPECT_EQ(ReadIni("Section", bgmFileKey, ini), music);

    EXPECT_TRUE(WriteIni("Section", bgmKindKey, " 1", ini));
    EXPECT_EQ(ReadIni("Section", bgmKindKey, ini), "1");
    EXPECT_EQ(readBytes(ini).find(kindKeyBytes + "= 1\r\n" + repeatKeyBytes), 11u);
}

TEST(IniFile, ReadsFilesOfAnotherProgramWithCrlfOrLf)
{
    for (const std::string newline : {"\r\n", "\n"}) {
        TempFolder folder;
        const std::string ini = folder.file("Tamaruka.ini");
        writeBytes(ini, "; written by hand" + newline + "[ section ]" + newline + "  " +
                            kindKeyBytes + "  =  1  " + newline + "bgm\xCC\xA7\xB2\xD9=\"/tmp/a b.wav\"" +
                            newline + "quoted='x'" + newline + "half=\"open" + newline + "[Other]" +
                            newline + repeatKeyBytes + "=9" + newline);
        EXPECT_EQ(ReadIni("Section", bgmKindKey, ini), "1");
        EXPECT_EQ(ReadIni("SECTION", bgmFileKey, ini), "/tmp/a b.wav");  // any ASCII case
        EXPECT_EQ(ReadIni("Section", "QUOTED", ini), "x");
        EXPECT_EQ(ReadIni("Section", "half", ini), "\"open");
        EXPECT_EQ(ReadIni("Section", bgmRepeatKey, ini), "");  // it is in [Other]
        EXPECT_EQ(ReadIni("Other", bgmRepeatKey, ini), "9");
    }
}

// Found by fuzzing: a carriage return ending the file belongs to the line
// break, so the value reads the same before and after a write that puts a
// line after it.
TEST(IniFile, ACarriageReturnEndingTheFileIsNoPartOfTheValue)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    writeBytes(ini, "[Section]\nfile=a.mid\r");
    EXPECT_EQ(ReadIni("Section", "file", ini), "a.mid");
    ASSERT_TRUE(WriteIni("Other", "key", "v", ini));
    EXPECT_EQ(ReadIni("Section", "file", ini), "a.mid");
    EXPECT_EQ(readBytes(ini), "[Section]\nfile=a.mid\r\n[Other]\nkey=v\n");
}

TEST(IniFile, CaseFoldingLeavesDoubleByteCharactersAlone)
{
    // "ア" is 83 41; 83 61 is another character whose trail byte happens to
    // be 'a'. Folding trail bytes would make the first line match "kア".
    TempFolder folder;
    const std::string ini = folder.file("t.ini");
    writeBytes(ini, "[s]\r\nk\x83\x61=other\r\nk\x83\x41=wanted\r\n");
    EXPECT_EQ(ReadIni("s", "kア", ini), "wanted");
    EXPECT_EQ(ReadIni("S", "Kア", ini), "wanted");
}

TEST(IniFile, MissingFileSectionOrKeyReadsEmpty)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    EXPECT_EQ(ReadIni("Section", bgmKindKey, ini), "");
    writeBytes(ini, "[Other]\r\n" + kindKeyBytes + "=1\r\n[Section]\r\nx=1\r\n");
    EXPECT_EQ(ReadIni("Missing", bgmKindKey, ini), "");
    EXPECT_EQ(ReadIni("Section", bgmKindKey, ini), "");
    EXPECT_EQ(ReadIni("Section", bgmKindKey, folder.path()), "");  // a folder is no file
}

TEST(IniFile, WritingKeepsEveryOtherLineByteForByte)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    const std::string before =
        "; comment \xE3\x81\x82 kept\n[Other]\nkey=other value\n\n[Section]\n# note\n" +
        kindKeyBytes + "= 1\n\n[Last]\nx = 1";
    writeBytes(ini, before);
    ::chmod(ini.c_str(), 0640);

    EXPECT_TRUE(WriteIni("section", bgmKindKey, " 2", ini));  // existing key: its line changes
    EXPECT_TRUE(WriteIni("Section", bgmRepeatKey, " 5", ini));  // new key: after the last one
    EXPECT_TRUE(WriteIni("Last", "y", "2", ini));               // last line had no line ending
    EXPECT_TRUE(WriteIni("New", "z", "3", ini));                // new section at the end

    EXPECT_EQ(readBytes(ini), "; comment \xE3\x81\x82 kept\n[Other]\nkey=other value\n\n[Section]\n"
                              "# note\n" + kindKeyBytes + "= 2\n" + repeatKeyBytes +
                                  "= 5\n\n[Last]\nx = 1\ny=2\n[New]\nz=3\n");
    struct stat info {};
    ASSERT_EQ(::stat(ini.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator{}),
              1);  // no temporary file left behind
}

TEST(IniFile, FilesBeyondTheLimitsHaveNoValuesAndAreNeverRewritten)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    // Exactly at both limits: a line of profileLineLimit bytes, the file
    // padded to profileFileLimit bytes, the key after the long line.
    const std::string head = "[Section]\r\nlong=" + std::string(profileLineLimit - 5, 'x') + "\n";
    const std::string tail = kindKeyBytes + "= 1\r\n";
    const std::size_t fillerSize = profileFileLimit - head.size() - tail.size();
    std::string filler;
    while (fillerSize - filler.size() > 100) filler += std::string(98, ';') + "\r\n";
    filler += std::string(fillerSize - filler.size() - 1, ';') + "\n";
    writeBytes(ini, head + filler + tail);
    ASSERT_EQ(std::filesystem::file_size(ini), profileFileLimit);
    std::error_code why;
    EXPECT_EQ(ReadIni("Section", "long", ini), std::string(255, 'x'));
    EXPECT_EQ(readProfileString(ini, "Section", bgmKindKey, &why), "1");
    EXPECT_FALSE(why);

    struct Case {
        std::string bytes;
        ProfileFileError error;
    };
    const Case cases[] = {
        {head + filler + tail + ";", ProfileFileError::TooLarge},
        {"[Section]\r\n" + kindKeyBytes + "= 1\r\n;" + std::string(profileLineLimit, 'x'),
         ProfileFileError::LineTooLong},
    };
    for (const Case& beyond : cases) {
        writeBytes(ini, beyond.bytes);
        EXPECT_EQ(readProfileString(ini, "Section", bgmKindKey, &why), "");
        EXPECT_EQ(why, beyond.error) << why.message();
        EXPECT_FALSE(WriteIni("Section", bgmRepeatKey, " 5", ini, &why));
        EXPECT_EQ(why, beyond.error);
        EXPECT_EQ(readBytes(ini), beyond.bytes);
    }
    EXPECT_EQ(std::error_code(ProfileFileError::TooLarge).message(), "larger than 1 MiB");
    EXPECT_EQ(std::error_code(ProfileFileError::LineTooLong).message(), "a line longer than 64 KiB");
}

TEST(IniFile, ALinkIsReplacedByTheNewFileAndWhatItNamesStaysAsItWas)
{
    TempFolder folder;
    const std::string kept = folder.file("dotfiles.ini");
    const std::string ini = folder.file("Tamaruka.ini");
    writeBytes(kept, "[Section]\r\nother=kept\r\n");
    std::filesystem::create_symlink(kept, ini);
    EXPECT_TRUE(WriteIni("Section", "k", "1", ini));
    EXPECT_FALSE(std::filesystem::is_symlink(ini));
    EXPECT_EQ(readBytes(ini), "[Section]\r\nother=kept\r\nk=1\r\n");  // its lines are kept
    EXPECT_EQ(readBytes(kept), "[Section]\r\nother=kept\r\n");

    std::filesystem::remove(ini);
    std::filesystem::create_symlink(kept, ini);
    EXPECT_TRUE(replaceFileAtomically(ini, "new"));
    EXPECT_FALSE(std::filesystem::is_symlink(ini));
    EXPECT_EQ(readBytes(ini), "new");
    EXPECT_EQ(readBytes(kept), "[Section]\r\nother=kept\r\n");
}

TEST(IniFile, SeveralKeysGoInOneRewrite)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    writeBytes(ini, "[Section]\n" + repeatKeyBytes + "=1\n\n[Other]\nx=1\n");
    EXPECT_TRUE(WriteIniKeys("Section", {{bgmKindKey, " 2"}, {bgmRepeatKey, " 3"}, {bgmFileKey, "/a.wav"}}, ini));
    // The one there changes in place; the new ones follow in order.
    EXPECT_EQ(readBytes(ini), "[Section]\n" + repeatKeyBytes + "= 3\n" + kindKeyBytes + "= 2\n" +
                                  fileKeyBytes + "=/a.wav\n\n[Other]\nx=1\n");
    EXPECT_TRUE(WriteIniKeys("New", {{"a", "1"}, {"b", "2"}}, ini));
    EXPECT_EQ(readBytes(ini).substr(readBytes(ini).find("[New]")), "[New]\na=1\nb=2\n");
    // One value that cannot be stored: nothing is.
    const std::string before = readBytes(ini);
    std::error_code why;
    EXPECT_FALSE(WriteIniKeys("Section", {{bgmKindKey, " 1"}, {bgmFileKey, "/\xF0\x9F\x8E\x86.wav"}}, ini, &why));
    EXPECT_EQ(why, std::errc::invalid_argument);
    EXPECT_EQ(readBytes(ini), before);
}

TEST(IniFile, LongValuesComeBackCutTo255Bytes)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    EXPECT_TRUE(WriteIni("Section", bgmFileKey, std::string(300, 'a'), ini));
    EXPECT_EQ(ReadIni("Section", bgmFileKey, ini), std::string(255, 'a'));

    // 200 kanji are 400 bytes: 127 whole ones fit; the lead byte of the
    // 128th is not returned without its trail byte.
    std::string kanji;
    for (int i = 0; i < 200; ++i) kanji += "曲";
    EXPECT_TRUE(WriteIni("Section", bgmFileKey, "a" + kanji, ini));
    std::string expected = "a";
    for (int i = 0; i < 127; ++i) expected += "曲";
    EXPECT_EQ(ReadIni("Section", bgmFileKey, ini), expected);
}

TEST(IniFile, RefusesWhatWouldCorruptTheFile)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    ASSERT_TRUE(WriteIni("Section", bgmFileKey, "/music/old.wav", ini));
    const std::string before = readBytes(ini);
    EXPECT_FALSE(WriteIni("Section", bgmFileKey, "/music/\xF0\x9F\x8E\x86.mp3", ini));  // emoji
    EXPECT_FALSE(WriteIni("Section", bgmFileKey, "/music/한국.mp3", ini));  // Hangul
    EXPECT_FALSE(WriteIni("Section", bgmFileKey, "line\r\n[Evil]", ini));
    EXPECT_FALSE(WriteIni("Section", "k=v", "x", ini));
    EXPECT_EQ(readBytes(ini), before);
}

TEST(IniFile, WriteIntoAFolderThatIsAFileFails)
{
    TempFolder folder;
    writeBytes(folder.file("plain"), "x");
    EXPECT_FALSE(WriteIni("Section", bgmKindKey, " 1", folder.file("plain/Tamaruka.ini")));
    EXPECT_EQ(readBytes(folder.file("plain")), "x");
}

// Runs the write in a child process, so that resource limits and dropped
// privileges stay there. The child's exit code: 0 written, 1 refused, 2 the
// preparation failed.
template <class Prepare>
int writeInChild(Prepare prepare, const std::string& ini)
{
    const pid_t child = ::fork();
    if (child == 0) {
        prepare();
        ::_exit(WriteIni("Section", bgmFileKey, std::string(4096, 'n'), ini) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(IniFile, FullDiskLeavesTheOldFileIntact)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    ASSERT_TRUE(WriteIni("Section", bgmFileKey, "/music/old.wav", ini));
    const std::string before = readBytes(ini);
    // A file-size limit below the new file's size makes the write fail
    // part-way, as a full disk does.
    const int result = writeInChild(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1024, 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
        },
        ini);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(readBytes(ini), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(IniFile, ReadOnlyFolderLeavesTheOldFileIntact)
{
    TempFolder folder;
    const std::string ini = folder.file("Tamaruka.ini");
    ASSERT_TRUE(WriteIni("Section", bgmFileKey, "/music/old.wav", ini));
    const std::string before = readBytes(ini);
    ::chmod(folder.path().c_str(), 0555);
    // Root writes into any folder, so the child gives up root first.
    const int result = writeInChild(
        [] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        },
        ini);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(readBytes(ini), before);
}

}  // namespace
}  // namespace tamaruka

// Sound files: the kind from the extension, the queue played one file per
// tick, failures of a single play in the error log.
#include <gtest/gtest.h>

#include "NError.h"
#include "NResources.h"
#include "NSound.h"
#include "TestFiles.h"

namespace {

std::string str(const NString& s) { return std::string(s.getBuffer(), s.getLength()); }

class NSoundTest : public testing::Test {
protected:
    void SetUp() override
    {
        // File names are resolved through the resource manager.
        if (!globalResources.isInitialised()) {
            globalResources.setProgramFolder(programFolder().c_str());
            globalResources.init();
        }
        globalError.log = "";
    }
    void TearDown() override { globalError.log = ""; }

    // A short, silent PCM sound.
    std::string wav(const char* name)
    {
        std::string bytes("RIFF\x2C\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0"
                          "\x01\0\x08\0data\x08\0\0\0\x80\x80\x80\x80\x80\x80\x80\x80",
                          52);
        writeBytes(folder.file(name), bytes);
        return folder.file(name);
    }

    TestFolder folder;
};

}  // namespace

TEST_F(NSoundTest, KindComesFromTheLowerCasedExtension)
{
    struct Case {
        const char* name;
        int kind;
    };
    for (const Case& c : {Case{"Klick.WAV", NSound::wav}, Case{"Lied.Mid", NSound::midi},
                          Case{"song.midi", NSound::none}}) {
        writeBytes(folder.file(c.name), "RIFF");
        NSound sound;
        EXPECT_EQ(sound.open(folder.file(c.name).c_str()), c.kind) << c.name;
        NString lower(folder.file(c.name).c_str());
        lower.makeLower();
        EXPECT_EQ(str(sound.getFileName()), str(lower));
        sound.stop();
    }
}

TEST_F(NSoundTest, QueuedFilesWaitForTheTickAndStopEmptiesTheQueue)
{
    NSound sound;
    sound.queue(wav("eins.wav").c_str());
    sound.queue(wav("zwei.wav").c_str());
    EXPECT_EQ(sound.getQueue().getCount(), 2);
    sound.next();
    ASSERT_EQ(sound.getQueue().getCount(), 1);
    NStringList rest(sound.getQueue());
    EXPECT_EQ(str(rest.getAt(0)), folder.file("zwei.wav"));
    sound.stop();
    EXPECT_EQ(sound.getQueue().getCount(), 0);
    EXPECT_EQ(sound.getKind(), NSound::none);
}

TEST_F(NSoundTest, AFailedPlayIsRecorded)
{
    // Played to its end, so the missing file is noticed (an asynchronous
    // start may report success before the file is even opened).
    EXPECT_FALSE(NSound::play("fehlt.wav", true));
    NError expected;
    expected.addError("NSound::play() -> Fehler beim Abspielen von :fehlt.wav");
    EXPECT_EQ(str(globalError.log), str(expected.log));
}

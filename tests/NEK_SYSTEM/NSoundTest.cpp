#include "GuiTestSupport.h"
#include "NSound.h"

namespace {

class NSoundTest : public testing::Test {
protected:
    void SetUp() override  // file names are resolved through the resource manager
    {
        useProgramResources();
        globalError.log = "";
    }
    std::string file(const char* name)
    {
        writeBytes(folder.file(name), "RIFF");
        return folder.file(name);
    }
    TestFolder folder;
};

}  // namespace

TEST_F(NSoundTest, KindFromTheExtensionFailedPlayRecordedQueueOnTheTickAndStopForGood)
{
    for (const auto& c : {std::make_pair("Klick.WAV", int(NSound::wav)), std::make_pair("Lied.Mid", int(NSound::midi)),
                          std::make_pair("song.midi", int(NSound::none))}) {
        NSound sound;
        EXPECT_EQ(sound.open(file(c.first).c_str()), c.second) << c.first;
        NString lower(folder.file(c.first).c_str());
        lower.makeLower();
        EXPECT_EQ(str(sound.getFileName()), str(lower));
    }
    // Played to its end: an asynchronous start may report success before the file is opened.
    EXPECT_FALSE(NSound::play("fehlt.wav", true));
    expectLogged("NSound::play() -> Fehler beim Abspielen von :fehlt.wav");

    NSound sound;
    sound.queue(file("eins.wav").c_str());
    sound.queue(file("zwei.wav").c_str());
    sound.next();
    ASSERT_EQ(sound.getQueue().getCount(), 1);
    EXPECT_EQ(str(NStringList(sound.getQueue()).getAt(0)), folder.file("zwei.wav"));
    sound.stop();
    EXPECT_EQ(sound.getQueue().getCount(), 0);
    EXPECT_EQ(sound.getKind(), NSound::none);

    // A looping sound (0.1 s of 8-bit silence) ends for good: the next ticks do not start it again.
    auto le = [](unsigned v, int bytes) { return std::string(reinterpret_cast<const char*>(&v), size_t(bytes)); };
    writeBytes(folder.file("loop.wav"), "RIFF" + le(36 + 800, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                                            le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(800, 4) +
                                            std::string(800, '\x80'));
    EXPECT_EQ(sound.open(folder.file("loop.wav").c_str()), int(NSound::wav));
    sound.stop();
    for (int tick = 0; tick < 3; ++tick)
        sound.next();
    EXPECT_FALSE(sound.isLoopPlaying());
    EXPECT_EQ(sound.getKind(), NSound::none);
}

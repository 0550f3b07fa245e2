#include "NSound.h"

#include <windows.h>
#include <mmsystem.h>

#include "NError.h"
#include "NResources.h"

namespace {

const DWORD loopFlags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_LOOP | SND_NOSTOP;
const DWORD atOnceFlags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT;
const DWORD queuedFlags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP;

}  // namespace

NSound::NSound() : kind(none), openParam(0x4000), loopPlaying(0), midiDevice(0) {}

NSound::~NSound()
{
    if (kind != none || queued.getCount() > 0)
        stop();
}

const char* NSound::getName() const { return getClassName(); }
const char* NSound::getClassName() const { return "NSound"; }

int NSound::open(const NString& name, int param)
{
    closeMidi();
    openParam = param;
    fileName = globalResources.getFile(name);
    fileName.makeLower();
    const NString extension = fileName.right(4);
    if (extension == ".wav")
        kind = wav;
    else if (extension == ".mid")
        kind = midi;
    else
        kind = none;
    start();
    return kind;
}

void NSound::start()
{
    if (kind == wav) {
        loopPlaying = PlaySoundA(fileName, nullptr, loopFlags) ? 1 : 0;
    } else if (kind == midi) {
        closeMidi();
        MCI_OPEN_PARMSA openParms = {};
        openParms.lpstrDeviceType = "sequencer";
        openParms.lpstrElementName = fileName;
        if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT,
                            reinterpret_cast<DWORD_PTR>(&openParms)) != 0)
            return;
        midiDevice = openParms.wDeviceID;
        // A sequencer without an output port would play into nothing.
        MCI_STATUS_PARMS status = {};
        status.dwItem = MCI_SEQ_STATUS_PORT;
        MCI_PLAY_PARMS play = {};
        if (mciSendCommandA(midiDevice, MCI_STATUS, MCI_STATUS_ITEM,
                            reinterpret_cast<DWORD_PTR>(&status)) != 0 ||
            mciSendCommandA(midiDevice, MCI_PLAY, MCI_NOTIFY,
                            reinterpret_cast<DWORD_PTR>(&play)) != 0)
            closeMidi();
    }
}

void NSound::closeMidi()
{
    if (midiDevice == 0)
        return;
    mciSendCommandA(midiDevice, MCI_CLOSE, 0, 0);
    midiDevice = 0;
}

void NSound::queue(const NString& name)
{
    const NString path = globalResources.getFile(name);
    if (loopPlaying)
        PlaySoundA(path, nullptr, atOnceFlags);
    else
        queued.add(path);
}

void NSound::next()
{
    if (queued.getCount() > 0) {
        // A device still busy refuses the sound; it stays first for the next tick.
        if (PlaySoundA(queued.getAt(0), nullptr, queuedFlags))
            queued.removeAt(0);
    } else if (kind == wav) {
        start();
    }
}

void NSound::stop()
{
    queued.removeAll();
    sndPlaySoundA(nullptr, 0);
    closeMidi();
    // Otherwise the next tick would start the loop again.
    kind = none;
    loopPlaying = 0;
}

bool NSound::play(const NString& name, bool wait)
{
    const NString path = globalResources.getFile(name);
    const DWORD flags = SND_FILENAME | SND_NODEFAULT | (wait ? 0 : SND_ASYNC);
    if (PlaySoundA(path, nullptr, flags))
        return true;
    globalError.addError(NString("NSound::play() -> Fehler beim Abspielen von :") + name);
    return false;
}

#pragma once
// The one music playback device of the program, in the shape of a media control device
// opened under an alias: open a file by name, play, pause, resume, stop, close, and ask
// its mode. Playback runs in the background; the owner polls Status to learn of the end.

#include <string>

namespace vireo {

class MusicDevice {
public:
    virtual ~MusicDevice() = default;

    // Opens the file: false when it is missing, unreadable, of a type the device cannot
    // play, or when a file is already open (close it first). A device may load in the
    // background: a file found unplayable only then ends as "stopped" with a Failure.
    virtual bool Open(const std::string& file) = 0;
    // Plays the open file from its start (or from a stop). False when nothing is open.
    virtual bool Play() = 0;
    virtual bool Pause() = 0;
    // Continues paused music; false when the music is not paused.
    virtual bool Resume() = 0;
    virtual void Stop() = 0;
    // Releases the file and the audio output; harmless when nothing is open.
    virtual void Close() = 0;
    // "playing", "paused" or "stopped" (also after playing to the end); empty when no
    // file is open.
    virtual std::string Status() = 0;
    // Why the file opened last does not play (refused at Open, failed or given up on while
    // loading), in words for the user; empty while it plays or once it played.
    virtual std::string Failure() { return {}; }
};

}  // namespace vireo

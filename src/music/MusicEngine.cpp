#include "music/MusicEngine.h"

#include "platform/ResourceStrings.h"

#include <algorithm>
#include <vector>

namespace vireo {

std::string PlayButtonCaption(bool playing) { return LoadResString(playing ? 1026 : 1025); }
std::string PlayButtonToolTip(bool playing) { return LoadResString(playing ? 1022 : 1021); }
std::string PlayButtonFont() { return LoadResString(1027); }
std::string ReadoutToolTip(bool playing) { return playing ? LoadResString(1020) : std::string(); }

// Nothing plays before the engine is asked to: the mode is the engine's to keep.
MusicEngine::MusicEngine(MusicDevice& device, ClockState& state) : device_(device), state_(state) {
    state_.MusicPlayMode = kPlayModeStop;
}

MusicEngine::~MusicEngine() = default;

void MusicEngine::PlayMusic(const std::string& fileName, std::int32_t playMode) {
    // Modes outside 0..3 are taken as the nearest one, so no stray value outranks the user.
    std::int32_t mode = fileName.empty() ? kPlayModeStop : std::clamp(playMode, kPlayModeStop, kPlayModeUser);
    const std::int32_t current = state_.MusicPlayMode;
    if (current > mode && mode > kPlayModeStop) return;  // refused: the music playing outranks it

    bool stopped = false;
    if (current >= 1) {
        device_.Stop();
        device_.Close();
        state_.MusicPlayMode = kPlayModeStop;
        stopped = true;
    }

    bool playing = false;
    if (mode >= 1) {
        if (device_.Open(fileName)) {
            device_.Play();
            state_.MusicPlayMode = mode;
            ++playback_;
            file_ = fileName;
            playing = true;
            if (readout_) readout_(true);
        } else {
            ReportFailure(fileName);
        }
    }
    if (stopped && !playing && readout_) readout_(false);
    NotifyButtons(playing);
}

std::string MusicEngine::MusicStatus() {
    std::string status = device_.Status();
    // A load that failed in the background ends as "stopped": told once, then closed by the
    // tick's poll like music that played to its end.
    if (status == "stopped" && IsPlaying() && failureTold_ != playback_ && !device_.Failure().empty()) {
        failureTold_ = playback_;
        ReportFailure(file_);
    }
    return status;
}

void MusicEngine::ReportFailure(const std::string& file) {
    if (!failure_) return;
    std::string why = device_.Failure();
    if (why.empty()) why = "再生できません";
    failure_(file, why);
}

void MusicEngine::SetFailureListener(FailureListener listener) { failure_ = std::move(listener); }

bool MusicEngine::PauseMusic() {
    if (!IsPlaying() || device_.Status() != "playing") return false;
    return device_.Pause();
}

bool MusicEngine::ResumeMusic() {
    if (!IsPlaying() || device_.Status() != "paused") return false;
    if (!device_.Resume()) device_.Play();
    return true;
}

void MusicEngine::SetReadoutListener(Listener listener) { readout_ = std::move(listener); }

MusicEngine::ListenerId MusicEngine::AddButtonListener(Listener listener) {
    const ListenerId id = nextId_++;
    buttons_.emplace(id, std::move(listener));
    return id;
}

void MusicEngine::RemoveButtonListener(ListenerId id) { buttons_.erase(id); }

void MusicEngine::NotifyButtons(bool playing) {
    // A button may close its dialog (and unregister) from inside the call: walk a snapshot of
    // the ids and skip those gone meanwhile.
    std::vector<ListenerId> ids;
    ids.reserve(buttons_.size());
    for (const auto& [id, listener] : buttons_) ids.push_back(id);
    for (ListenerId id : ids) {
        auto it = buttons_.find(id);
        if (it == buttons_.end()) continue;
        Listener listener = it->second;  // a copy survives its own removal
        listener(playing);
    }
}

}  // namespace vireo

#include "platform/SoundBackends.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <mutex>

namespace vireo {

namespace {

using NewMidiOutput = MidiOutput* (*)();
using NewMusicDevice = MusicDevice* (*)();
using InterfaceVersion = int (*)();

struct Module {
    std::once_flag once;
    bool loaded = false;
    std::string error;
    QLibrary* library = nullptr;  // never unloaded (see the module's own note)
    NewMidiOutput newMidiOutput = nullptr;
    NewMusicDevice newMusicDevice = nullptr;
};

Module& TheModule() {
    static Module module;
    return module;
}

QString ModulePath() {
    const QString named = qEnvironmentVariable("VIREO_SOUND_MODULE");
    if (!named.isEmpty()) return named;
    const QString base = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(base).filePath(QStringLiteral(VIREO_SOUND_MODULE_REL "/vireo-sound"));
}

Module& Loaded() {
    Module& m = TheModule();
    std::call_once(m.once, [&m] {
        m.library = new QLibrary(ModulePath());
        QLibrary* library = m.library;
        if (!library->load()) {
            m.error = library->errorString().toStdString();
            return;
        }
        auto version = reinterpret_cast<InterfaceVersion>(library->resolve("VireoSoundInterfaceVersion"));
        m.newMidiOutput = reinterpret_cast<NewMidiOutput>(library->resolve("VireoSoundNewMidiOutput"));
        m.newMusicDevice = reinterpret_cast<NewMusicDevice>(library->resolve("VireoSoundNewMusicDevice"));
        if (!version || version() != kSoundModuleInterface || !m.newMidiOutput || !m.newMusicDevice) {
            m.error = library->fileName().toStdString() + " is not this program's sound module";
            m.newMidiOutput = nullptr;
            m.newMusicDevice = nullptr;
            return;
        }
        m.loaded = true;
    });
    if (!m.loaded && !m.error.empty()) {
        static std::once_flag told;
        std::call_once(told, [&m] { qWarning("sound: no sound module: %s", m.error.c_str()); });
    }
    return m;
}

// Both stand in for the real one until it is first needed.
class LazyMidiOutput final : public MidiOutput {
public:
    int DeviceCount() override { return Real() ? real_->DeviceCount() : 0; }
    bool Open() override { return Real() && real_->Open(); }
    void ShortMsg(std::uint32_t message) override {
        if (real_) real_->ShortMsg(message);
    }
    void Reset(int channel) override {
        if (real_) real_->Reset(channel);
    }
    void Close() override {
        if (real_) real_->Close();
    }
    bool IsOpen() const override { return real_ && real_->IsOpen(); }

private:
    MidiOutput* Real() {
        if (!real_ && !tried_) {
            tried_ = true;
            if (auto make = Loaded().newMidiOutput) real_.reset(make());
        }
        return real_.get();
    }
    std::unique_ptr<MidiOutput> real_;
    bool tried_ = false;
};

class LazyMusicDevice final : public MusicDevice {
public:
    bool Open(const std::string& file) override {
        if (Real()) return real_->Open(file);
        failure_ = "音声の部品を読み込めません (" + Loaded().error + ")";
        return false;
    }
    bool Play() override { return real_ && real_->Play(); }
    bool Pause() override { return real_ && real_->Pause(); }
    bool Resume() override { return real_ && real_->Resume(); }
    void Stop() override {
        if (real_) real_->Stop();
    }
    void Close() override {
        if (real_) real_->Close();
    }
    std::string Status() override { return real_ ? real_->Status() : std::string(); }
    std::string Failure() override { return real_ ? real_->Failure() : failure_; }

private:
    MusicDevice* Real() {
        if (!real_ && !tried_) {
            tried_ = true;
            if (auto make = Loaded().newMusicDevice) real_.reset(make());
        }
        return real_.get();
    }
    std::unique_ptr<MusicDevice> real_;
    bool tried_ = false;
    std::string failure_;
};

}  // namespace

std::unique_ptr<MidiOutput> NewSoundModuleMidiOutput() { return std::make_unique<LazyMidiOutput>(); }

std::unique_ptr<MusicDevice> NewSoundModuleMusicDevice() { return std::make_unique<LazyMusicDevice>(); }

bool SoundModuleLoaded() { return TheModule().loaded; }

std::string SoundModuleError() { return TheModule().error; }

}  // namespace vireo

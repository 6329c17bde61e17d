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

// The module's object, made at the first call that needs it (null when there is no module).
template <typename T, typename Factory>
T* MadeOnFirstUse(std::unique_ptr<T>& real, Factory factoryOf) {
    if (!real)
        if (auto make = factoryOf(Loaded())) real.reset(make());
    return real.get();
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
    MidiOutput* Real() { return MadeOnFirstUse(real_, [](Module& m) { return m.newMidiOutput; }); }
    std::unique_ptr<MidiOutput> real_;
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
    MusicDevice* Real() { return MadeOnFirstUse(real_, [](Module& m) { return m.newMusicDevice; }); }
    std::unique_ptr<MusicDevice> real_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<MidiOutput> NewSoundModuleMidiOutput() { return std::make_unique<LazyMidiOutput>(); }

std::unique_ptr<MusicDevice> NewSoundModuleMusicDevice() { return std::make_unique<LazyMusicDevice>(); }

bool SoundModuleLoaded() { return TheModule().loaded; }

std::string SoundModuleError() { return TheModule().error; }

}  // namespace vireo

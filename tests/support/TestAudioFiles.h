#pragma once
// Real audio files the sound tests write and play: a 16-bit mono PCM sine as WAV.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace vireo::test {

inline QByteArray MakeWav(double seconds, double frequency = 440.0, int rate = 22050) {
    const int frames = int(seconds * rate);
    QByteArray data;
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) data.append(char((v >> (8 * i)) & 0xFF)); };
    auto u16 = [&](std::uint16_t v) { data.append(char(v & 0xFF)); data.append(char(v >> 8)); };
    data.append("RIFF");
    u32(36 + frames * 2);
    data.append("WAVEfmt ");
    u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    data.append("data");
    u32(frames * 2);
    for (int i = 0; i < frames; ++i)
        u16(std::uint16_t(std::int16_t(8000 * std::sin(2 * std::numbers::pi * frequency * i / rate))));
    return data;
}

inline bool WriteWav(const QString& path, double seconds) {
    QFile f(path);
    const QByteArray data = MakeWav(seconds);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

}  // namespace vireo::test

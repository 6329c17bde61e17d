#include "ephemeris/ObserverInput.h"

#include <charconv>
#include <cmath>

#include "ephemeris/Ephemeris.h"

namespace vireo {

std::optional<double> ParseDecimal(const std::string& text) {
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return std::nullopt;
    std::string s = text.substr(b, e - b + 1);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    if (s.empty()) return std::nullopt;
    // Digits, one point and a leading minus only: no exponents, "nan" or "inf".
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0))) return std::nullopt;
    }
    double v = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<ObserverInputError> CheckObserverInput(const std::string& latitude,
                                                     const std::string& longitude,
                                                     const std::string& height,
                                                     const std::string& timeZone,
                                                     ObserverValues* values) {
    const auto lat = ParseDecimal(latitude);
    if (!lat) return ObserverInputError{ObserverField::Latitude, "緯度を数値で入力してください。"};
    if (!ObserverRanges::Latitude(*lat)) {
        return ObserverInputError{ObserverField::Latitude,
                                  "緯度は -90 から 90 までの範囲で入力してください（北緯が正）。"};
    }
    const auto lon = ParseDecimal(longitude);
    if (!lon) return ObserverInputError{ObserverField::Longitude, "経度を数値で入力してください。"};
    if (!ObserverRanges::Longitude(*lon)) {
        return ObserverInputError{ObserverField::Longitude,
                                  "経度は -180 から 180 までの範囲で入力してください（東経が正）。"};
    }
    const auto h = ParseDecimal(height);
    if (!h) return ObserverInputError{ObserverField::Height, "標高を数値で入力してください。"};
    if (!ObserverRanges::Height(*h)) {
        return ObserverInputError{ObserverField::Height,
                                  "標高は 0 から 10000 メートルまでの範囲で入力してください。"};
    }
    const auto z = ParseDecimal(timeZone);
    if (!z) return ObserverInputError{ObserverField::TimeZone, "時差を数値で入力してください。"};
    if (!ObserverRanges::TimeZone(*z)) {
        return ObserverInputError{ObserverField::TimeZone,
                                  "時差は -12 から 14 時間までの範囲で入力してください（協定世界時より東が正）。"};
    }
    values->latitude = *lat;
    values->longitude = *lon;
    values->height = *h;
    values->timeZone = static_cast<float>(*z);
    return std::nullopt;
}

}  // namespace vireo

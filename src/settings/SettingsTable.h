#pragma once
// Every persisted setting, once: section, key, the type it is written as, the type it is read
// as, and its default. Readers and writers use these descriptors and never spell key strings.
//
//   SettingsStore store;
//   OpenOwnSettings(store);
//   state.ClockMode = Read(store, kClockMode);
//   float left = Read(store, kLeft, centredLeft);      // window-dependent default from the caller
//   Write(store, AlarmSettingKey(3), value);
//
// A stored value that cannot be read as its type (a hand-edited "ClockMode=abc", a number out
// of range, a broken line), or that breaks the setting's own rule (a scale that does not
// exist, an observer the ephemeris refuses), reads as the default. ReadChecked also says so,
// so that start-up can write the corrected value back.

#include "ephemeris/Ephemeris.h"
#include "settings/SettingsStore.h"

#include <QVariant>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vireo {

inline constexpr std::string_view kCompanyName = "Larkspur Laboratory";
inline constexpr std::string_view kProductName = "Vireo";

inline constexpr std::string_view kRootSection = "";
inline constexpr std::string_view kAlarmSection = "Alarm";
inline constexpr int kAlarmSlots = 10;

// Names the program's own settings on a new store instance.
inline void OpenOwnSettings(SettingsStore& store) {
    store.SetCompany(kCompanyName);
    store.SetProduct(kProductName);
}

enum class SettingType { Double, Single, Int16, Int32, Boolean, Text };

template <typename T> struct SettingTraits;
template <> struct SettingTraits<double> {
    static constexpr SettingType type = SettingType::Double;
    using Default = double;
};
template <> struct SettingTraits<float> {
    static constexpr SettingType type = SettingType::Single;
    using Default = float;
};
template <> struct SettingTraits<std::int16_t> {
    static constexpr SettingType type = SettingType::Int16;
    using Default = std::int16_t;
};
template <> struct SettingTraits<std::int32_t> {
    static constexpr SettingType type = SettingType::Int32;
    using Default = std::int32_t;
};
template <> struct SettingTraits<bool> {
    static constexpr SettingType type = SettingType::Boolean;
    using Default = bool;
};
template <> struct SettingTraits<std::string> {
    static constexpr SettingType type = SettingType::Text;
    using Default = std::string_view;
};

// A setting whose default is fixed, with the rule a value read must keep to (none: any value
// of the type).
template <typename Written, typename ReadAs>
struct Setting {
    using WrittenType = Written;
    using ReadType = ReadAs;
    using Rule = bool (*)(const ReadAs&);
    static constexpr SettingType kWritten = SettingTraits<Written>::type;
    static constexpr SettingType kReadAs = SettingTraits<ReadAs>::type;
    std::string_view section;
    std::string_view key;
    typename SettingTraits<ReadAs>::Default defaultValue{};
    Rule valid = nullptr;

    bool Accepts(const ReadAs& v) const { return !valid || valid(v); }
};

// The rules of the settings below.
namespace rules {
inline bool ClockMode(const std::int32_t& v) { return v >= 0 && v <= 7; }
inline bool BackgroundMode(const std::int32_t& v) { return v >= 0 && v <= 4; }
inline bool TimeSignalMode(const std::int32_t& v) { return v >= 0 && v <= 4; }
// Above one second the clock would skip seconds on the face.
inline bool Interval(const std::int32_t& v) { return v >= 1 && v <= 1000; }
// 1 (minimised) is never written, but reads back as what it says.
inline bool WindowState(const std::int16_t& v) { return v >= 0 && v <= 2; }
// A plain colour; a stored system-colour reference is no user colour.
inline bool PlainColor(const std::int32_t& v) { return v >= 0 && v <= 0xFFFFFF; }
inline bool Latitude(const double& v) { return ObserverRanges::Latitude(v); }
inline bool Longitude(const double& v) { return ObserverRanges::Longitude(v); }
inline bool Height(const double& v) { return ObserverRanges::Height(v); }
inline bool TimeZone(const float& v) { return ObserverRanges::TimeZone(v); }
}  // namespace rules

// A setting whose default depends on the window (centred place, designed size): the caller
// passes it to Read.
template <typename Written, typename ReadAs>
struct CallerDefaultSetting {
    using WrittenType = Written;
    using ReadType = ReadAs;
    static constexpr SettingType kWritten = SettingTraits<Written>::type;
    static constexpr SettingType kReadAs = SettingTraits<ReadAs>::type;
    std::string_view section;
    std::string_view key;
};

// ---- Root section -------------------------------------------------------------------------
inline constexpr Setting<double, double> kObsLongitude{kRootSection, "ObsLongitude", 139.7447, rules::Longitude};
inline constexpr Setting<double, double> kObsLatitude{kRootSection, "ObsLatitude", 35.6544, rules::Latitude};
inline constexpr Setting<double, double> kObsHeight{kRootSection, "ObsHeight", 0.0, rules::Height};
inline constexpr Setting<float, float> kTimeZone{kRootSection, "TimeZone", 9.0f, rules::TimeZone};
inline constexpr Setting<std::int32_t, std::int32_t> kClockMode{kRootSection, "ClockMode", 0, rules::ClockMode};
inline constexpr Setting<std::int32_t, std::int32_t> kDigitalMode{kRootSection, "DigitalMode", 1};
inline constexpr Setting<std::int32_t, std::int32_t> kTimeSignalMode{kRootSection, "TimeSignalMode", 2,
                                                                      rules::TimeSignalMode};
inline constexpr Setting<std::string, std::string> kTimeSignalFile{kRootSection, "TimeSignalFile", ""};
// Window place and size in twips.
inline constexpr CallerDefaultSetting<std::int32_t, float> kLeft{kRootSection, "Left"};
inline constexpr CallerDefaultSetting<std::int32_t, float> kTop{kRootSection, "Top"};
inline constexpr CallerDefaultSetting<std::int32_t, float> kWidth{kRootSection, "Width"};
inline constexpr CallerDefaultSetting<std::int32_t, float> kHeight{kRootSection, "Height"};
// 0 normal, 2 maximised; a minimised window is written as 0.
inline constexpr Setting<std::int32_t, std::int16_t> kWindowState{kRootSection, "WindowState", 0,
                                                                    rules::WindowState};
inline constexpr Setting<std::int32_t, std::int32_t> kBackgroundMode{kRootSection, "BackgroundMode", 1,
                                                                      rules::BackgroundMode};
inline constexpr Setting<std::int32_t, std::int32_t> kUserBackColor{kRootSection, "UserBackColor", 16777215,
                                                                     rules::PlainColor};
inline constexpr Setting<std::int32_t, std::int32_t> kUserForeColor{kRootSection, "UserForeColor", 0,
                                                                     rules::PlainColor};
inline constexpr Setting<std::int32_t, std::int32_t> kInterval{kRootSection, "Interval", 100, rules::Interval};
inline constexpr Setting<bool, bool> kTaskTray{kRootSection, "TaskTray", false};
inline constexpr Setting<bool, bool> kCloseButton{kRootSection, "CloseButton", false};
inline constexpr Setting<bool, bool> kCircleForm{kRootSection, "CircleForm", false};
inline constexpr Setting<bool, bool> kMinimized{kRootSection, "Minimized", false};
// Root of the start-up entry: 0 none, kHKeyLocalMachine or kHKeyCurrentUser. Tested as a
// Boolean by reading it and comparing with 0.
inline constexpr Setting<std::int32_t, std::int32_t> kHKeyStartUp{kRootSection, "hKeyStartUp", 0};
inline constexpr Setting<std::string, std::string> kPlayFile{kRootSection, "PlayFile", ""};

// ---- Section "Alarm": "Setting0".."Setting9" (packed alarm values), "File0".."File9" ---------
namespace detail {
inline constexpr std::array<std::string_view, kAlarmSlots> kAlarmSettingNames{
    "Setting0", "Setting1", "Setting2", "Setting3", "Setting4",
    "Setting5", "Setting6", "Setting7", "Setting8", "Setting9"};
inline constexpr std::array<std::string_view, kAlarmSlots> kAlarmFileNames{
    "File0", "File1", "File2", "File3", "File4", "File5", "File6", "File7", "File8", "File9"};
[[noreturn]] void ThrowSlotOutOfRange(int slot);
}  // namespace detail

// Throws SettingsError(kSlotOutOfRange) for a slot outside 0..9.
inline Setting<std::int32_t, std::int32_t> AlarmSettingKey(int slot) {
    if (slot < 0 || slot >= kAlarmSlots) detail::ThrowSlotOutOfRange(slot);
    return {kAlarmSection, detail::kAlarmSettingNames[static_cast<std::size_t>(slot)], 0};
}
inline Setting<std::string, std::string> AlarmFileKey(int slot) {
    if (slot < 0 || slot >= kAlarmSlots) detail::ThrowSlotOutOfRange(slot);
    return {kAlarmSection, detail::kAlarmFileNames[static_cast<std::size_t>(slot)], ""};
}

// ---- The whole table, for listing and checks ----------------------------------------------
struct SettingInfo {
    std::string_view section;
    std::string_view key;
    SettingType written;
    SettingType readAs;
    bool callerDefault;
};

template <typename S>
constexpr SettingInfo Describe(const S& s) {
    return {s.section, s.key, S::kWritten, S::kReadAs,
            std::is_same_v<S, CallerDefaultSetting<typename S::WrittenType, typename S::ReadType>>};
}

// Every root key, then the alarm keys slot by slot (Setting, File).
const std::array<SettingInfo, 23 + 2 * kAlarmSlots>& AllSettings();

// ---- Conversions of a stored value to the type it is read as; nothing when it cannot be ----
// Numbers from text are read in the C locale. Integers accept a whole number or a decimal,
// rounded to nearest with halves to even, and must fit the type. Booleans accept true/false
// (any case) or a number (non-zero is true). Non-finite numbers are not readable.
std::optional<double> ToDouble(const QVariant& value);
std::optional<float> ToSingle(const QVariant& value);
std::optional<std::int32_t> ToInt32(const QVariant& value);
std::optional<std::int16_t> ToInt16(const QVariant& value);
std::optional<bool> ToBoolean(const QVariant& value);
std::optional<std::string> ToText(const QVariant& value);  // UTF-8

template <typename T> std::optional<T> ConvertStored(const QVariant& value);
template <> inline std::optional<double> ConvertStored<double>(const QVariant& v) { return ToDouble(v); }
template <> inline std::optional<float> ConvertStored<float>(const QVariant& v) { return ToSingle(v); }
template <> inline std::optional<std::int32_t> ConvertStored<std::int32_t>(const QVariant& v) { return ToInt32(v); }
template <> inline std::optional<std::int16_t> ConvertStored<std::int16_t>(const QVariant& v) { return ToInt16(v); }
template <> inline std::optional<bool> ConvertStored<bool>(const QVariant& v) { return ToBoolean(v); }
template <> inline std::optional<std::string> ConvertStored<std::string>(const QVariant& v) { return ToText(v); }

// The value handed to the store for each written type.
inline QVariant ToStored(double v) { return QVariant(v); }
inline QVariant ToStored(float v) { return QVariant(v); }
inline QVariant ToStored(std::int16_t v) { return QVariant(static_cast<int>(v)); }
inline QVariant ToStored(std::int32_t v) { return QVariant(static_cast<int>(v)); }
inline QVariant ToStored(bool v) { return QVariant(v); }
inline QVariant ToStored(const std::string& v) { return QVariant(QString::fromStdString(v)); }

// ---- Reading and writing through the table ------------------------------------------------
template <typename R>
struct CheckedValue {
    R value;
    // A value was stored but could not be used: value is the default instead.
    bool replaced = false;
};

template <typename W, typename R>
CheckedValue<R> ReadChecked(SettingsStore& store, const Setting<W, R>& s) {
    const QVariant stored = store.GetValue(s.section, s.key);
    const auto value = ConvertStored<R>(stored);
    if (value && s.Accepts(*value)) return {*value, false};
    return {R(s.defaultValue), stored.isValid()};
}

template <typename W, typename R>
R Read(SettingsStore& store, const Setting<W, R>& s) {
    return ReadChecked(store, s).value;
}

template <typename W, typename R>
R Read(SettingsStore& store, const Setting<W, R>& s, const std::type_identity_t<R>& defaultValue) {
    const auto value = ConvertStored<R>(store.GetValue(s.section, s.key));
    return value && s.Accepts(*value) ? *value : defaultValue;
}

template <typename W, typename R>
R Read(SettingsStore& store, const CallerDefaultSetting<W, R>& s, const std::type_identity_t<R>& defaultValue) {
    return ConvertStored<R>(store.GetValue(s.section, s.key)).value_or(defaultValue);
}

template <typename W, typename R>
void Write(SettingsStore& store, const Setting<W, R>& s, const std::type_identity_t<W>& value) {
    store.SetValue(s.section, s.key, ToStored(value));
}

template <typename W, typename R>
void Write(SettingsStore& store, const CallerDefaultSetting<W, R>& s, const std::type_identity_t<W>& value) {
    store.SetValue(s.section, s.key, ToStored(value));
}

template <typename S>
void Delete(SettingsStore& store, const S& s) {
    store.DeleteValue(s.section, s.key);
}

}  // namespace vireo

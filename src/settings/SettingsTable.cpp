#include "settings/SettingsTable.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <cfloat>
#include <cmath>
#include <limits>

namespace vireo {

namespace detail {
void ThrowSlotOutOfRange(int slot) {
    throw SettingsError(SettingsError::kSlotOutOfRange,
                        "alarm slot " + std::to_string(slot) + " is outside 0.." +
                            std::to_string(kAlarmSlots - 1));
}
}  // namespace detail

const std::array<SettingInfo, 23 + 2 * kAlarmSlots>& AllSettings() {
    static const auto table = [] {
        std::array<SettingInfo, 23 + 2 * kAlarmSlots> t{{
            Describe(kObsLongitude), Describe(kObsLatitude), Describe(kObsHeight),
            Describe(kTimeZone), Describe(kClockMode), Describe(kDigitalMode),
            Describe(kTimeSignalMode), Describe(kTimeSignalFile), Describe(kLeft),
            Describe(kTop), Describe(kWidth), Describe(kHeight), Describe(kWindowState),
            Describe(kBackgroundMode), Describe(kUserBackColor), Describe(kUserForeColor),
            Describe(kInterval), Describe(kTaskTray), Describe(kCloseButton),
            Describe(kCircleForm), Describe(kMinimized), Describe(kHKeyStartUp),
            Describe(kPlayFile),
        }};
        for (int slot = 0; slot < kAlarmSlots; ++slot) {
            t[static_cast<std::size_t>(23 + 2 * slot)] = Describe(AlarmSettingKey(slot));
            t[static_cast<std::size_t>(24 + 2 * slot)] = Describe(AlarmFileKey(slot));
        }
        return t;
    }();
    return table;
}

namespace {

bool IsTypedNumber(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Short:
    case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool IsText(const QVariant& value) {
    const int id = value.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QByteArray;
}

// Round to nearest, halves to even, whatever the floating-point environment says.
double RoundHalfEven(double x) {
    const double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

std::optional<std::int64_t> ToWhole(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return std::nullopt;
    const int id = value.metaType().id();
    if (id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::Short ||
        id == QMetaType::Long)
        return value.toLongLong();
    if (id == QMetaType::UInt || id == QMetaType::ULongLong || id == QMetaType::UShort ||
        id == QMetaType::ULong) {
        const qulonglong u = value.toULongLong();
        if (u > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
        return static_cast<std::int64_t>(u);
    }
    if (IsText(value)) {
        bool ok = false;
        const qlonglong whole = value.toString().trimmed().toLongLong(&ok, 10);
        if (ok) return whole;
    }
    const auto d = ToDouble(value);
    // Beyond 2^62 the 32-bit range checks below reject it anyway.
    if (!d || std::fabs(*d) > 4.6e18) return std::nullopt;
    return static_cast<std::int64_t>(RoundHalfEven(*d));
}

}  // namespace

std::optional<double> ToDouble(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return std::nullopt;
    double d = 0.0;
    if (IsTypedNumber(value)) {
        d = value.toDouble();
    } else if (IsText(value)) {
        bool ok = false;
        d = value.toString().trimmed().toDouble(&ok);  // C locale, whatever the user's locale
        if (!ok) return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<float> ToSingle(const QVariant& value) {
    if (value.metaType().id() == QMetaType::Float) {
        const float f = value.toFloat();
        if (!std::isfinite(f)) return std::nullopt;
        return f;
    }
    const auto d = ToDouble(value);
    if (!d || std::fabs(*d) > static_cast<double>(FLT_MAX)) return std::nullopt;
    return static_cast<float>(*d);
}

std::optional<std::int32_t> ToInt32(const QVariant& value) {
    const auto w = ToWhole(value);
    if (!w || *w < std::numeric_limits<std::int32_t>::min() || *w > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*w);
}

std::optional<std::int16_t> ToInt16(const QVariant& value) {
    const auto w = ToWhole(value);
    if (!w || *w < std::numeric_limits<std::int16_t>::min() || *w > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(*w);
}

std::optional<bool> ToBoolean(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return std::nullopt;
    if (value.metaType().id() == QMetaType::Bool) return value.toBool();
    if (IsText(value)) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    }
    const auto d = ToDouble(value);
    if (!d) return std::nullopt;
    return *d != 0.0;
}

std::optional<std::string> ToText(const QVariant& value) {
    if (!value.isValid()) return std::nullopt;
    const int id = value.metaType().id();
    if (IsText(value)) return value.toString().toStdString();  // an empty text is a value too
    if (value.isNull()) return std::nullopt;
    // An unquoted comma in a hand-edited line makes the INI reader return a list.
    if (id == QMetaType::QStringList) return value.toStringList().join(QLatin1String(", ")).toStdString();
    if (IsTypedNumber(value) || id == QMetaType::Bool)
        return value.toString().toStdString();
    return std::nullopt;
}

}  // namespace vireo

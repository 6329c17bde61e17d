#pragma once
// Checking what the user typed into the observer dialog: plain C++, UTF-8 messages.

#include <optional>
#include <string>

namespace vireo {

struct ObserverValues {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double height = 0.0;     // metres
    float timeZone = 0.0f;   // hours east of UTC
};

// Which field a message is about, so the dialog can put the cursor there.
enum class ObserverField { Latitude, Longitude, Height, TimeZone };

struct ObserverInputError {
    ObserverField field;
    std::string message;  // Japanese, UTF-8
};

// A decimal number with optional sign; surrounding blanks allowed, nothing else.
std::optional<double> ParseDecimal(const std::string& text);

// Parses and range-checks the four texts (already folded to ASCII digits); on success fills
// values and returns nothing, otherwise the first error.
std::optional<ObserverInputError> CheckObserverInput(const std::string& latitude,
                                                     const std::string& longitude,
                                                     const std::string& height,
                                                     const std::string& timeZone,
                                                     ObserverValues* values);

}  // namespace vireo

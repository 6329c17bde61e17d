#pragma once
// vireo-ephem's work apart from its input and output: one query line in, one JSON object out.

#include <optional>
#include <string>
#include <variant>

namespace vireo {

class EphemerisComponent;

struct EphemQuery {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
    float timeZone = 0.0f;
    double localDate = 0.0;  // OLE date in the zone's local time
    std::string at;          // the date-time as given, "YYYY-MM-DDTHH:MM:SS"
};

// "LAT LON HEIGHT TZ YYYY-MM-DDTHH:MM:SS"; a message when the line is malformed.
std::variant<EphemQuery, std::string> ParseEphemQuery(const std::string& line);

// Sets the component to the query and writes the answer object (one line, no newline).
std::string EphemAnswerJson(EphemerisComponent& component, const EphemQuery& query);

// {"error": message, "line": number, "input": text}
std::string EphemErrorJson(const std::string& message, long lineNumber, const std::string& input);

// Local "YYYY-MM-DDTHH:MM:SS" of an OLE date, rounded to the second.
std::string LocalDateTimeText(double oleDate);
// A JSON string literal (quotes and escapes), UTF-8 kept as it is.
std::string JsonString(const std::string& text);

}  // namespace vireo

#pragma once
// vireo-ephem's work apart from its input and output: one query line in, one JSON object out.

#include <optional>
#include <string>
#include <variant>
#include <vector>

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

// One field of the answer: its name and its JSON value for a component already set to the
// query. A new field is one more entry in EphemFields().
struct EphemField {
    const char* name;
    std::string (*value)(EphemerisComponent& component, const EphemQuery& query);
};

// Every field, in the order they are written.
const std::vector<EphemField>& EphemFields();

// The fields named in a comma-separated list, in the list's order; a message for an unknown
// or repeated name or an empty list.
std::variant<std::vector<const EphemField*>, std::string> SelectEphemFields(const std::string& names);

// Sets the component to the query and writes the answer object (one line, no newline) with
// the given fields, or with every field when fields is null. Only what they ask is computed.
std::string EphemAnswerJson(EphemerisComponent& component, const EphemQuery& query,
                            const std::vector<const EphemField*>* fields = nullptr);

// {"error": message, "line": number, "input": text}
std::string EphemErrorJson(const std::string& message, long lineNumber, const std::string& input);

// Local "YYYY-MM-DDTHH:MM:SS" of an OLE date, rounded to the second.
std::string LocalDateTimeText(double oleDate);
// A JSON string literal (quotes and escapes) of UTF-8 text; bytes that are not UTF-8 become
// U+FFFD, so the literal is always valid UTF-8 JSON.
std::string JsonString(const std::string& text);
// The text with each ill-formed UTF-8 sequence (stray or truncated bytes, overlong forms,
// surrogates, beyond U+10FFFF) replaced by U+FFFD, one for each maximal bad part.
std::string RepairUtf8(const std::string& text);

}  // namespace vireo

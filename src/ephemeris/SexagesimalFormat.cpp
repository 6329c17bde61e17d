#include "ephemeris/SexagesimalFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ephemeris/Ephemeris.h"

namespace vireo {
namespace {

struct Token {
    enum Kind { Digit, Point, Literal } kind;
    char placeholder = 0;  // '0' or '#'
    std::string text;
};

std::vector<Token> Parse(const std::string& pattern) {
    std::vector<Token> tokens;
    bool seenPoint = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '0' || c == '#') {
            tokens.push_back(Token{Token::Digit, c, {}});
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            tokens.push_back(Token{Token::Point, 0, {}});
        } else if (c == '\\' && i + 1 < pattern.size()) {
            // Escapes a whole UTF-8 character, not just one byte.
            std::size_t n = 1;
            const auto lead = static_cast<unsigned char>(pattern[i + 1]);
            if (lead >= 0xF0) n = 4;
            else if (lead >= 0xE0) n = 3;
            else if (lead >= 0xC0) n = 2;
            tokens.push_back(Token{Token::Literal, 0, pattern.substr(i + 1, n)});
            i += n;
        } else if (c == '"') {
            const std::size_t close = pattern.find('"', i + 1);
            const std::size_t stop = close == std::string::npos ? pattern.size() : close;
            tokens.push_back(Token{Token::Literal, 0, pattern.substr(i + 1, stop - i - 1)});
            i = stop;
        } else {
            tokens.push_back(Token{Token::Literal, 0, std::string(1, c)});
        }
    }
    return tokens;
}

int DecimalsOf(const std::vector<Token>& tokens) {
    int decimals = 0;
    bool afterPoint = false;
    for (const Token& t : tokens) {
        if (t.kind == Token::Point) afterPoint = true;
        else if (t.kind == Token::Digit && afterPoint) ++decimals;
    }
    return decimals;
}

// Writes a value already scaled to an integer count of 10^-decimals units.
std::string Render(const std::vector<Token>& tokens, std::int64_t units, int decimals) {
    const bool negative = units < 0;
    std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(units + 1)) + 1
                                       : static_cast<std::uint64_t>(units);
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const std::uint64_t whole = magnitude / scale;
    std::string fraction = std::to_string(magnitude % scale + scale).substr(1);  // zero padded
    if (decimals == 0) fraction.clear();

    int intSlots = 0;
    for (const Token& t : tokens) {
        if (t.kind == Token::Point) break;
        if (t.kind == Token::Digit) ++intSlots;
    }
    std::string digits = whole == 0 ? std::string() : std::to_string(whole);
    // Trailing '#' decimals drop their zeros.
    std::vector<char> decSlots;
    bool afterPoint = false;
    for (const Token& t : tokens) {
        if (t.kind == Token::Point) afterPoint = true;
        else if (t.kind == Token::Digit && afterPoint) decSlots.push_back(t.placeholder);
    }
    std::size_t keep = fraction.size();
    while (keep > 0 && decSlots[keep - 1] == '#' && fraction[keep - 1] == '0') --keep;
    fraction.resize(keep);

    std::string out;
    if (negative && (whole != 0 || magnitude != 0)) out += '-';
    int slot = 0;  // integer placeholders seen so far
    std::size_t decUsed = 0;
    afterPoint = false;
    for (const Token& t : tokens) {
        if (t.kind == Token::Literal) {
            out += t.text;
        } else if (t.kind == Token::Point) {
            afterPoint = true;
            if (!fraction.empty()) out += '.';
        } else if (!afterPoint) {
            // Placeholder slot counted from the right: position intSlots - slot - 1.
            const int fromRight = intSlots - slot - 1;
            if (slot == 0 && static_cast<int>(digits.size()) > intSlots) {
                out += digits.substr(0, digits.size() - static_cast<std::size_t>(intSlots));
            }
            if (fromRight < static_cast<int>(digits.size())) {
                out += digits[digits.size() - 1 - static_cast<std::size_t>(fromRight)];
            } else if (t.placeholder == '0') {
                out += '0';
            }
            ++slot;
        } else {
            if (decUsed < fraction.size()) out += fraction[decUsed];
            ++decUsed;
        }
    }
    return out;
}

std::int64_t Pow10(int n) {
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

}  // namespace

std::string FormatNumber(double value, const std::string& pattern) {
    if (!std::isfinite(value)) throw EphemerisError("number to format is not finite");
    const auto tokens = Parse(pattern);
    const int decimals = std::min(DecimalsOf(tokens), 9);
    const double scaled = std::nearbyint(value * static_cast<double>(Pow10(decimals)));
    if (std::fabs(scaled) > 9e18) throw EphemerisError("number to format is too large");
    return Render(tokens, static_cast<std::int64_t>(scaled), decimals);
}

std::string FormatDayFraction(double dayFraction, const std::string& hoursPattern,
                              const std::string& minutesPattern, const std::string& secondsPattern) {
    if (!std::isfinite(dayFraction)) throw EphemerisError("day fraction is not finite");
    const auto secTokens = Parse(secondsPattern);
    const int decimals = std::min(DecimalsOf(secTokens), 6);
    const std::int64_t perSecond = Pow10(decimals);
    const std::int64_t perDay = 86400 * perSecond;
    double fraction = dayFraction - std::floor(dayFraction);
    auto units = static_cast<std::int64_t>(std::nearbyint(fraction * static_cast<double>(perDay)));
    units %= perDay;  // a carry past the last unit of the day is midnight
    const std::int64_t hours = units / (3600 * perSecond);
    const std::int64_t minutes = units / (60 * perSecond) % 60;
    const std::int64_t seconds = units % (60 * perSecond);
    const auto hourTokens = Parse(hoursPattern);
    const auto minuteTokens = Parse(minutesPattern);
    return Render(hourTokens, hours * Pow10(DecimalsOf(hourTokens)), DecimalsOf(hourTokens)) +
           Render(minuteTokens, minutes * Pow10(DecimalsOf(minuteTokens)), DecimalsOf(minuteTokens)) +
           Render(secTokens, seconds, decimals);
}

}  // namespace vireo

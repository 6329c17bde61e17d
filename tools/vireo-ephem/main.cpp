// vireo-ephem: answers ephemeris queries for scripts and for checking, one JSON object a line.

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "EphemQuery.h"
#include "ephemeris/EphemerisComponent.h"

namespace {

// Exit statuses, as sysexits.h names them.
constexpr int kExitAnswered = 0;
constexpr int kExitLineFailed = 1;
constexpr int kExitUsage = 64;  // EX_USAGE
constexpr int kExitIo = 74;     // EX_IOERR

const char* const kHelp = R"(Usage: vireo-ephem [--fields LIST] [LAT LON HEIGHT TZ YYYY-MM-DDTHH:MM:SS]
       vireo-ephem [--fields LIST] < queries
       vireo-ephem --help | --version

Answers ephemeris queries. Each query is one line of five fields separated by blanks:
  LAT      latitude in degrees, north positive (-90..90)
  LON      longitude in degrees, east positive (-180..180)
  HEIGHT   height in metres (0..10000)
  TZ       time zone in hours east of UTC (-12..14), e.g. 9 or 5.5
  YYYY-MM-DDTHH:MM:SS   local date-time in that zone (years 1000..2999)
With arguments, the one query they form is answered; otherwise every line of standard
input is (blank lines are skipped). Each answer is one JSON object on its own line:
  at                   the date-time asked
  sun_ra               apparent right ascension of the Sun, degrees [0, 360)
  sun_altitude         geocentric altitude of the Sun's centre, no refraction, degrees
  rise_set_depression  semi-diameter plus 35'08" refraction, degrees
  sidereal_greenwich   Greenwich apparent sidereal time, degrees
  sidereal_local       local apparent sidereal time, degrees
  dawn, dusk           local date-time (to the second) when the Sun's centre crosses
                       -7d21'40" rising / setting on that local date; null if it does not
  solar_term_index     k: the next solar term is at longitude 15k - 30
  solar_term_day       day of the current solar term, 1 on the date it begins
  next_term            local date-time of the next solar term
  lunisolar_month, lunisolar_day, leap_month, day_label
                       the Japanese lunisolar date (on JST) of the local date and its 六曜
  scale_seconds        the clock's eight scales 0..7 at that moment, seconds of day [0, 86400)

Options (before, after or between the query's fields; "--" ends them, and a field that
starts with "-" and a digit or point is a negative number, not an option):
  --fields LIST, --fields=LIST
                 write only the comma-separated fields named (in that order, each once) and
                 compute only them, e.g. --fields at,lunisolar_month,lunisolar_day,leap_month,day_label
                 for fast calendar look-ups
  -h, --help     this text
  --version      the program's version
A malformed line gets {"error": ..., "line": N, "input": ...} and the rest go on. Bytes of the
input that are not UTF-8 are written as U+FFFD, so every line written is UTF-8 JSON.
The exit status is one of:
  0   every query answered
  1   at least one query malformed or refused (its error object was written)
  64  usage error: unknown option, bad or repeated option value (nothing is answered)
  74  standard input could not be read or standard output could not be written
)";

// Standard output with its own buffer, written with write(2) so that a failure (full disk,
// closed descriptor, reader gone) is seen and reported instead of lost.
class Output {
public:
    void Line(const std::string& text) {
        buffer_ += text;
        buffer_ += '\n';
        if (buffer_.size() >= 1 << 16) Flush();
    }
    // False once a write has failed; the reason is in Error().
    bool Flush() {
        std::size_t done = 0;
        while (!failed_ && done < buffer_.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, buffer_.data() + done, buffer_.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                error_ = n < 0 ? errno : EIO;
                failed_ = true;
            }
        }
        buffer_.clear();
        return !failed_;
    }
    bool Failed() const { return failed_; }
    int Error() const { return error_; }

private:
    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
};

// Standard input a line at a time. Before it waits for more input it flushes the answers
// written so far, so a script that writes a query and reads its answer never hangs, while
// a file or pipe full of queries is read and answered in large blocks.
class Input {
public:
    explicit Input(Output& out) : out_(out) {}
    // False at the end of input or on a read error (then Error() is set).
    bool Line(std::string* line) {
        for (;;) {
            if (TakeLine(line)) return true;
            buffer_.erase(0, start_);
            start_ = 0;
            if (eof_) {
                if (buffer_.empty()) return false;
                line->swap(buffer_);  // a last line without its newline
                buffer_.clear();
                return true;
            }
            if (!out_.Flush()) return false;
            if (!ReadBlock()) return false;
        }
    }
    // True when a whole line (or the last one, at the end of input) can be had without
    // waiting: it is here already, or in input that has arrived and waits to be read.
    bool LineReady() {
        for (;;) {
            if (buffer_.find('\n', start_) != std::string::npos || (eof_ && buffer_.size() > start_)) return true;
            if (eof_ || error_ != 0) return false;
            pollfd in{STDIN_FILENO, POLLIN, 0};
            if (::poll(&in, 1, 0) != 1 || (in.revents & (POLLIN | POLLHUP)) == 0) return false;
            if (!ReadBlock()) return false;
        }
    }
    int Error() const { return error_; }

private:
    bool TakeLine(std::string* line) {
        const std::size_t newline = buffer_.find('\n', start_);
        if (newline == std::string::npos) return false;
        line->assign(buffer_, start_, newline - start_);
        start_ = newline + 1;
        return true;
    }
    // One read, which may wait; false on a read error.
    bool ReadBlock() {
        buffer_.erase(0, start_);
        start_ = 0;
        char block[1 << 16];
        const ssize_t n = ::read(STDIN_FILENO, block, sizeof block);
        if (n > 0) {
            buffer_.append(block, static_cast<std::size_t>(n));
        } else if (n == 0) {
            eof_ = true;
        } else if (errno != EINTR) {
            error_ = errno;
            return false;
        }
        return true;
    }

    Output& out_;
    std::string buffer_;
    std::size_t start_ = 0;
    bool eof_ = false;
    int error_ = 0;
};

struct Arguments {
    bool help = false;
    bool version = false;
    std::optional<std::string> fields;
    std::vector<std::string> words;  // the query's fields, when given as arguments
};

// A negative number ("-33.87", "-.5") is a query field, not an option.
bool LooksLikeNumber(const char* arg) {
    return arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

// The arguments, options anywhere; a message for a usage error.
std::variant<Arguments, std::string> ParseArguments(int argc, char** argv) {
    Arguments a;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || LooksLikeNumber(argv[i])) {
            a.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            a.help = true;
        } else if (arg == "--version") {
            a.version = true;
        } else if (arg == "--fields" || arg.rfind("--fields=", 0) == 0) {
            std::string list;
            if (arg == "--fields") {
                if (i + 1 >= argc) return std::string("--fields needs a list of fields");
                list = argv[++i];
            } else {
                list = arg.substr(9);
            }
            if (a.fields) return std::string("--fields given more than once");
            a.fields = list;
        } else {
            return "unknown option \"" + arg + "\"";
        }
    }
    return a;
}

int UsageError(const std::string& message) {
    std::cerr << "vireo-ephem: " << vireo::RepairUtf8(message) << "; see vireo-ephem --help\n";
    return kExitUsage;
}

int IoError(const char* what, int error) {
    std::cerr << "vireo-ephem: " << what << ": " << std::strerror(error) << '\n';
    return kExitIo;
}

const std::vector<const vireo::EphemField*>* fields = nullptr;

struct Answered {
    std::string json;
    bool ok = false;
};

Answered AnswerLine(vireo::EphemerisComponent& component, const std::string& line, long number) {
    auto parsed = vireo::ParseEphemQuery(line);
    if (auto* message = std::get_if<std::string>(&parsed)) return {vireo::EphemErrorJson(*message, number, line), false};
    try {
        return {vireo::EphemAnswerJson(component, std::get<vireo::EphemQuery>(parsed), fields), true};
    } catch (const vireo::EphemerisError& e) {
        return {vireo::EphemErrorJson(e.what(), number, line), false};
    }
}

// The queries are answered by two components, each taking runs of kRun queries in turn, on
// two threads where the machine has them. Which component answers a query depends on its
// place in the input alone, never on how the input arrived or on the machine, so the answers
// are the same from run to run (a component's caches could otherwise shift a moment found
// by a search by a few microseconds, and so, once in a long while, its rounding).
constexpr int kComponents = 2;
constexpr long kRun = 64;
// Queries gathered at most before they are answered; fewer when no more are waiting.
constexpr std::size_t kBatch = 4096;

struct Query {
    std::string line;
    long number = 0;  // line number in the input
    long index = 0;   // place among the queries
};

class Answerer {
public:
    Answerer() {
        for (int i = 1; i < kComponents; ++i) components_[i].Engine().ShareNodes(components_[0].Engine());
        threads_ = std::thread::hardware_concurrency() >= 2 ? kComponents : 1;
    }
    // The answers of batch, in its order.
    std::vector<Answered> Answer(const std::vector<Query>& batch) {
        std::vector<Answered> answers(batch.size());
        auto work = [&](int component) {
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if ((batch[i].index / kRun) % kComponents != component) continue;
                answers[i] = AnswerLine(components_[component], batch[i].line, batch[i].number);
            }
        };
        // A thread only pays for itself over a few runs of queries.
        if (threads_ > 1 && batch.size() >= 2 * kRun) {
            std::vector<std::thread> helpers;
            for (int c = 1; c < kComponents; ++c) helpers.emplace_back(work, c);
            work(0);
            for (std::thread& t : helpers) t.join();
        } else {
            for (int c = 0; c < kComponents; ++c) work(c);
        }
        return answers;
    }

private:
    vireo::EphemerisComponent components_[kComponents];
    int threads_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away is a failed write to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    auto arguments = ParseArguments(argc, argv);
    if (auto* message = std::get_if<std::string>(&arguments)) return UsageError(*message);
    const Arguments& args = std::get<Arguments>(arguments);

    Output out;
    if (args.help || args.version) {
        out.Line(args.help ? std::string(kHelp, std::strlen(kHelp) - 1) : "vireo-ephem " VIREO_VERSION);
        return out.Flush() ? kExitAnswered : IoError("cannot write the output", out.Error());
    }
    std::vector<const vireo::EphemField*> selected;
    if (args.fields) {
        auto result = vireo::SelectEphemFields(*args.fields);
        if (auto* message = std::get_if<std::string>(&result)) return UsageError(*message);
        selected = std::get<std::vector<const vireo::EphemField*>>(result);
        fields = &selected;
    }

    Answerer answerer;
    bool ok = true;
    if (!args.words.empty()) {
        std::string line;
        for (const std::string& w : args.words) line += (line.empty() ? "" : " ") + w;
        const Answered a = answerer.Answer({Query{line, 1, 0}}).front();
        out.Line(a.json);
        ok = a.ok;
    } else {
        Input in(out);
        long number = 0, index = 0;
        std::vector<Query> batch;
        for (std::string line; !out.Failed() && in.Line(&line);) {
            // The first query of a batch may wait for input; the rest are those already here.
            for (;;) {
                ++number;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (line.find_first_not_of(" \t") != std::string::npos) {
                    batch.push_back({std::move(line), number, index++});
                }
                if (batch.size() >= kBatch || !in.LineReady() || !in.Line(&line)) break;
            }
            for (const Answered& a : answerer.Answer(batch)) {
                out.Line(a.json);
                ok = a.ok && ok;
            }
            batch.clear();
        }
        if (in.Error() != 0) {
            out.Flush();
            return IoError("cannot read the input", in.Error());
        }
    }
    if (!out.Flush()) return IoError("cannot write the output", out.Error());
    return ok ? kExitAnswered : kExitLineFailed;
}

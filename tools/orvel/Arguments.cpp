#include "Arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CliError.h"

Arguments::Arguments(int argc, char** argv, int first) {
    for (int i = first; i < argc; ++i) args_.emplace_back(argv[i]);
}

const std::string& Arguments::take() { return args_.at(next_++); }

const std::string& Arguments::valueOf(const std::string& option) {
    if (done()) throw usageError(option + " needs a value");
    return take();
}

std::optional<double> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<long> parseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE) return std::nullopt;
    return v;
}

namespace {
std::string formatBound(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}
} // namespace

double numberOption(const std::string& option, const std::string& text, double low, double high) {
    const auto v = parseNumber(text);
    if (!v || *v < low || *v > high)
        throw usageError(option + " takes a number from " + formatBound(low) + " to " + formatBound(high) +
                         ", not \"" + text + "\"");
    return *v;
}

long integerOption(const std::string& option, const std::string& text, long low, long high) {
    const auto v = parseInteger(text);
    if (!v || *v < low || *v > high)
        throw usageError(option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\"");
    return *v;
}

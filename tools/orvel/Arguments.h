// A cursor over one subcommand's arguments: options with values in any
// order, positional arguments in order. Numbers are parsed strictly (the
// whole text must be the number).
#pragma once

#include <optional>
#include <string>
#include <vector>

class Arguments {
public:
    Arguments(int argc, char** argv, int first);

    bool done() const { return next_ >= args_.size(); }
    const std::string& peek() const { return args_.at(next_); }
    // The next argument, consumed.
    const std::string& take();
    bool isOption() const { return !done() && args_[next_].size() > 1 && args_[next_][0] == '-'; }
    // The value after the option just taken; a usage error when there is none.
    const std::string& valueOf(const std::string& option);

private:
    std::vector<std::string> args_;
    size_t next_ = 0;
};

std::optional<double> parseNumber(const std::string& text);
std::optional<long> parseInteger(const std::string& text);

// Number options with a range: a usage error names the option and the range.
double numberOption(const std::string& option, const std::string& text, double low, double high);
long integerOption(const std::string& option, const std::string& text, long low, long high);

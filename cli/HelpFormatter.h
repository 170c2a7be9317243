#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace zem::cli {

// CLI11's help with the parser's own bookkeeping left out: a positional shows as its name (with
// "..." when it may take more than one), its kind and "REQUIRED" only on the usage line, and an
// option's conflicts in words. Validators are given an empty description where they are declared,
// so that a value shows as the name given to it ("N", not "N:INT in [1 - 6]"); the option's own
// description says the range.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_option_usage(const CLI::Option* opt) const override
    {
        std::string usage = opt->get_name(true, false);
        if (opt->get_expected_max() > 1) usage += "...";
        return opt->get_required() ? usage : "[" + usage + "]";
    }

    std::string make_option_opts(const CLI::Option* opt) const override
    {
        // The usage line already tells a positional's place and whether it is needed.
        if (!opt->nonpositional()) return "";
        const std::string type = opt->get_type_name();
        std::string out;
        if (opt->get_type_size() != 0 && !type.empty()) out += " " + type;
        if (opt->get_expected_max() > 1) out += " ...";
        if (opt->get_required()) out += " " + get_label("REQUIRED");
        for (const CLI::Option* other : opt->get_needs()) out += " (with " + other->get_name() + ")";
        for (const CLI::Option* other : opt->get_excludes()) out += " (not with " + other->get_name() + ")";
        return out;
    }
};

} // namespace zem::cli

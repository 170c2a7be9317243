#include "ui/FileFilter.h"

#include <gtest/gtest.h>

namespace zem::ui {
namespace {

TEST(FileFilter, SplitsDescriptionsAndPatterns)
{
    struct Case {
        const char* filter;
        std::vector<FileFilterEntry> expected;
    };
    const Case cases[] = {
        {"ZEM profile file|*.zemp|All files (*.*)|*.*",
         {{"ZEM profile file", {"*.zemp"}}, {"All files (*.*)", {"*.*"}}}},
        {"Pictures|*.png; *.bmp;|Text|*.txt", {{"Pictures", {"*.png", "*.bmp"}}, {"Text", {"*.txt"}}}},
        {"Text|*.txt|Dangling", {{"Text", {"*.txt"}}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        const auto entries = ParseFileFilter(c.filter);
        ASSERT_EQ(entries.size(), c.expected.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].description, c.expected[i].description);
            EXPECT_EQ(entries[i].patterns, c.expected[i].patterns);
        }
    }
}

} // namespace
} // namespace zem::ui

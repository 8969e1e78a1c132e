// The committed renders of tests/engine/ReferenceRenders.txt, bit for bit.
// After a deliberate change of the output, ORVEL_UPDATE_REFERENCE=1 rewrites
// the table from this build (then review the diff and say why it changed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "state/AtomicFile.h"
#include "support/ReferenceRenders.h"
#include "support/TestHost.h"

namespace {
const std::string kTable = std::string(ORVEL_SOURCE_DIR) + "/tests/engine/ReferenceRenders.txt";

std::map<std::string, std::string> committedLines() {
    std::map<std::string, std::string> lines;
    std::ifstream in(kTable);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines[line.substr(0, line.find(' '))] = line;
    return lines;
}
} // namespace

TEST(ReferenceRenders, OutputIsBitIdenticalToTheCommittedTable) {
    TestHost host;
    const std::vector<reference::Scenario> list = reference::scenarios();
    std::string rendered = "# name fnv1a-64 left@n/5 left@n/2 left@3n/4 left@last\n";
    std::vector<std::string> lines;
    for (const reference::Scenario& s : list) {
        lines.push_back(reference::render(host.entry(), s));
        rendered += lines.back() + "\n";
    }
    const char* update = std::getenv("ORVEL_UPDATE_REFERENCE");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(writeFileAtomically(kTable, rendered.data(), rendered.size()));
        GTEST_SKIP() << "rewrote " << kTable;
    }
    const std::map<std::string, std::string> committed = committedLines();
    ASSERT_EQ(committed.size(), list.size()) << "table " << kTable << " does not list every render";
    for (size_t i = 0; i < list.size(); ++i) {
        auto it = committed.find(list[i].name);
        ASSERT_NE(it, committed.end()) << list[i].name;
        EXPECT_EQ(lines[i], it->second) << "render " << list[i].name << " differs";
    }
}

// The factory presets as the build writes them, in a fixed order.
#pragma once

#include <algorithm>
#include <filesystem>
#include <vector>

inline std::vector<std::filesystem::path> builtFactoryPresets() {
    std::vector<std::filesystem::path> presets;
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::filesystem::path(ORVEL_BINARY_DIR) / "presets"))
        if (e.is_regular_file() && e.path().extension() == ".zuo") presets.push_back(e.path());
    std::sort(presets.begin(), presets.end());
    return presets;
}

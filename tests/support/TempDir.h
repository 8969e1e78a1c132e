// A temporary folder removed with its contents when the object goes.
#pragma once

#include <filesystem>
#include <string>

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "orvel");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The platform's part of the folder listings: enumerating a folder and
// telling folders apart by what they are rather than by the path that
// reached them, so that a linked folder that leads back up is recognised.
#pragma once

#include <string>
#include <vector>

struct FolderEntry {
    std::string name;
    bool directory = false;
    // For a folder that a path can reach more than once (through a link): its
    // identity as folderIdentity gives it; "" for anything else.
    std::string identity;
};

// Every entry of the folder except "." and "..", in the file system's order;
// empty when the folder cannot be read.
void enumerateFolder(const std::string& folder, std::vector<FolderEntry>& out);

// What a folder is, whichever path reached it: device and inode on POSIX,
// the final path on Windows. "" when it cannot be told.
std::string folderIdentity(const std::string& path);

// The identities of the folder itself and of every folder it lies in, both
// along the path as written and where the folder really is.
std::vector<std::string> enclosingFolderIdentities(const std::string& folder);

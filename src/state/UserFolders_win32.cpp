#include <cstdio>

#include "plugin/ProductIdentity.h"
#include "state/UserFolders.h"

std::string defaultInstallPath(const char* productName) {
    char text[1024];
    std::snprintf(text, sizeof(text), "c:\\Programme\\%s\\%s\\", product::kVendor, productName);
    return text;
}

// Which file system the writes use: the system's own, or one a test has put in its place.
#include "files/file_system.h"

namespace {

TFileSystem* gCurrent = nullptr;

} // namespace

TFileSystem& CurrentFileSystem() {
    return gCurrent != nullptr ? *gCurrent : SystemFileSystem();
}

TFileSystemOverride::TFileSystemOverride(TFileSystem& replacement) : Previous(gCurrent) {
    gCurrent = &replacement;
}

TFileSystemOverride::~TFileSystemOverride() {
    gCurrent = Previous;
}

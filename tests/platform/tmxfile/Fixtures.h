// Where the shared fixtures are: QUORLA_SHARED_DIR is a Unix path; Windows
// programs under Wine reach it through the Z: drive.
#pragma once

#include <string>

inline std::string SharedDir() {
#ifdef _WIN32
    return std::string("Z:") + QUORLA_SHARED_DIR;
#else
    return QUORLA_SHARED_DIR;
#endif
}

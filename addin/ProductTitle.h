// The product title: "Quorla for <host version> version 1.0", the caption of
// every message the add-in shows. Each command forms it first.
#pragma once

#include "Host.h"

inline constexpr int kProductTitleSize = 256;
inline constexpr int kHostVersionCount = 17;

// Rewritten by FormProductTitle; empty until the first command.
extern wchar_t ProductTitle[kProductTitleSize];
// Host version names by index; 0 is the unknown version.
extern const wchar_t* const HostVersionNames[kHostVersionCount];

// The index into HostVersionNames for the host's reported version, 0 to 16.
int HostVersionIndex(HostAppHandle host);
void FormProductTitle(HostAppHandle host);

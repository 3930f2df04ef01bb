// The image strip of a toolbar, built from a packed device-independent
// bitmap (a bitmap resource: header, masks, colour table, pixels).
#pragma once

#include <windows.h>

#include <cstddef>

namespace toolbarstrip {

// A 32-bit top-down DIB section of `width` x `height` holding the whole
// source scaled, with exact black, (128,128,128), (192,192,192) and white
// taken to the button text, shadow, face and highlight colours. Null when
// the data is not a bitmap this can read whole (too short, an unknown
// header, bit count or compression, a colour table larger than the bit
// count allows) or the bitmap cannot be made.
HBITMAP Build(const BYTE* data, size_t size, int width, int height);

} // namespace toolbarstrip

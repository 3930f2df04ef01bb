// A picture of one host document: an isometric view of its sketch entities
// and body faces, with a scale bar in the document's length unit, so that a
// person can see what an import built.
#pragma once

#include "CadHostModel.h"

#include <string>

namespace docview {

// Bodies with more faces than this are drawn in part, and the caption says so.
inline constexpr std::size_t kSvgMaxFaces = 200000;

// The SVG text; caption goes above the picture.
std::string DocumentSvg(const cadhost::DocumentModel& doc, const std::string& caption);

} // namespace docview

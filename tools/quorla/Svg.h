// A picture of one host document: an isometric view of its sketch entities
// and body faces, with a scale bar in the document's length unit, so that a
// person can see what an import built.
#pragma once

#include "CadHostModel.h"

#include <string>

namespace quorla {

// Bodies with more faces than this are drawn in part, and the caption says so.
inline constexpr std::size_t kSvgMaxFaces = 200000;

// The SVG text; caption goes above the picture.
std::string DocumentSvg(const cadhost::DocumentModel& doc, const std::string& caption);

// Points along an entity in metres, as drawn: a point gives one, a line two,
// circles and arcs and splines a sampled polyline.
std::vector<cadhost::Vec3> SampleEntity(const cadhost::DocumentModel& doc,
                                        const cadhost::Entity& e);

} // namespace quorla

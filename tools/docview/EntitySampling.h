// Points along sketch entities, as pictures draw them.
#pragma once

#include "CadHostModel.h"

#include <vector>

namespace docview {

// Points along an entity in metres: a point gives one, a line two, circles,
// arcs and splines a sampled polyline.
std::vector<cadhost::Vec3> SampleEntity(const cadhost::DocumentModel& doc,
                                        const cadhost::Entity& e);

} // namespace docview

// Closing a document: the host's File > Close.
#include "HostObjects.h"

namespace cadhost {

bool Host::CloseDocument(int id) {
    if (!DocumentOpen(id)) return false;
    DocumentObject* doc = state_->documents[static_cast<std::size_t>(id)];
    // Handles still held elsewhere stay valid COM objects whose calls fail,
    // as after the host is gone.
    for (BodyObject* b : state_->bodies)
        if (b->Part() == doc) b->Detach();
    doc->Detach();
    DocumentModel& model = doc->Model();
    std::vector<Sketch>().swap(model.sketches);
    model.entities.clear();
    model.values = ValueStore();
    std::vector<Body>().swap(model.bodies);
    model.closed = true;
    if (state_->active == id) state_->active = -1;
    return true;
}

bool Host::DocumentOpen(int id) const {
    return id >= 0 && id < DocumentCount() && !Document(id).closed;
}

} // namespace cadhost

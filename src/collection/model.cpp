#include "collection/model.h"

namespace tavrel::collection {

const Law* Collection::law(const std::string& id) const {
    for (const Law& l : laws)
        if (l.id == id) return &l;
    return nullptr;
}

Sentence* Collection::sentence(const std::string& idBN) {
    auto it = pages.find(idBN.substr(0, 15));
    if (it == pages.end()) return nullptr;
    for (Sentence& s : it->second.sentences)
        if (s.idBN == idBN) return &s;
    return nullptr;
}

}  // namespace tavrel::collection

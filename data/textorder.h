#pragma once
// The order of text values in lists: letter case ignored for every letter
// (code points compared after case folding), as the library engine orders
// text. Equal texts are left to the caller's tie-break.
#include <QStringView>
#include <cstdint>

namespace textorder {

// <0, 0, >0 as a sorts before, with or after b.
int compare(QStringView a, QStringView b);

// Three folded code points of a text, from the skip-th on, as one number:
// texts whose keys differ compare as their keys do; texts with equal keys
// agree in those three code points. A text that ends pads with 0.
uint64_t key(QStringView text, int skip = 0);

}  // namespace textorder

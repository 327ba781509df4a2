#pragma once

#include <QString>

namespace tavlin {

// How a text from another application is drawn. The model keeps the text as it came;
// the view draws it through these, so that it reads as text on one line and nothing in
// it reaches past it.
struct DisplayText {
    // Tabs, line and paragraph breaks become spaces and other control characters go; a
    // directional override becomes the embedding of the same direction, so that each
    // character keeps its own direction and no run of letters is drawn backwards.
    static QString drawable(const QString& text);
    // Whether the text draws as nothing: only white space, control characters and
    // characters that are invisible by default (zero-width spaces and joiners,
    // direction marks, fillers), or nothing at all.
    static bool looksBlank(const QString& text);
    // The text as one bidirectional isolate: its direction comes from its first strong
    // character, and any embedding or override left open in it ends with it.
    static QString isolated(const QString& text);
};

} // namespace tavlin

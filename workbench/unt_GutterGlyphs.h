#pragma once
// The debug marks of the editor gutter, 11 pixels wide and 14 high, drawn in code so they
// look the same on every machine. The indexes are fixed: the editor picks a glyph by index.

#include <QPixmap>

enum TGutterGlyph {
    ggCommand,        // small blue dot: a line with a command
    ggActive,         // blue arrow: the line where a run is paused
    ggActiveStop,     // the arrow over a stop mark
    ggStop,           // red mark with a green tick: a stop mark on a command line
    ggInvalidStop,    // red mark with a yellow cross: a stop mark on a line without command
    ggDisc            // grey disc (kept for its index; not used)
};
constexpr int GutterGlyphCount = 6;
constexpr int GutterGlyphWidth = 11;
constexpr int GutterGlyphHeight = 14;

// Draws the glyph; an index outside the list gives a transparent picture.
QPixmap DrawGutterGlyph(int index);

// Painting with cairo in the colours of the appearance, for every picture.
//
// Example:
//   setSource(cairo, lookOf(document, globe).colour, 0.5); // half see-through
#ifndef CAELO_OUTPUTS_PICTURES_CAIRO_COLOUR_H
#define CAELO_OUTPUTS_PICTURES_CAIRO_COLOUR_H

#include "outputs/appearance/appearance.h"

#include <cairo.h>

namespace caelo::pictures {

// Makes `colour` at opacity `alpha` (1 opaque, 0 clear) the source of what
// cairo paints next.
inline void setSource(cairo_t* cairo, appearance::RgbColour colour, double alpha = 1.0) {
    cairo_set_source_rgba(cairo, colour.red, colour.green, colour.blue, alpha);
}

} // namespace caelo::pictures

#endif

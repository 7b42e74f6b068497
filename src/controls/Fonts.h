#pragma once

// The windows are laid out in fixed places for Segoe UI and small check and option
// indicators. Where that face is missing (every Linux desktop), a face narrower than
// it stands in: Carlito (metric-compatible with Calibri) keeps every caption inside its box;
// Liberation Sans and DejaVu Sans, the usual fallbacks, are too wide for "IFD0", "Xmp" and
// "Composite". The faces after it are for machines without it.
void installFontSubstitutes();

// The program's look, set once before the first window: the stand-in faces above and
// DesignStyle (the indicator metrics the layout was drawn for).
void installDesignLook();

#pragma once

// The windows are laid out in fixed places for Segoe UI. Where that face is missing (every
// Linux desktop), a face of about its width keeps captions inside their boxes; DejaVu Sans,
// the usual fallback, is wide enough to cut "ExifTool show" and "IFD0" short.
void installFontSubstitutes();

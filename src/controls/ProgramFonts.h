#pragma once

// The windows are laid out for the classic 8-point dialog face, and the
// spell text defaults to Times New Roman. Machines without those faces get
// metric-compatible ones (Debian's fonts-liberation2), so every window keeps
// its designed size and its text fits, whatever the desktop's own default
// font is. Call once, after the QApplication exists and before any window.
void UseProgramFonts();

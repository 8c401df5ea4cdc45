#pragma once
class QApplication;

// The layouts were drawn for an 8-point dialog font; a font of the same metrics keeps every
// caption inside its control on any desktop.
void applyClassicFont(QApplication &app);

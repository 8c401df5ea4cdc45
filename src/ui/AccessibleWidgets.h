#pragma once
// How the program's own controls present themselves to a screen reader (AT-SPI on Linux),
// where Qt's defaults fall short: a combo box named by its label rather than by the text it
// shows, a clickable picture as a button, a secondary window as a dialog or a window rather than
// a bare panel, the status bar's news as a notification, and the tables with their cells made
// on demand.

// Installs the factory, and what keeps a text field's caret from being told before its focus,
// once; every window built from a table calls it.
void installAccessibleFactory();

#pragma once

class QWidget;

namespace kora {

// Twips are the unit in which window sizes are given: 1440 to the inch.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// Places a window with its centre at two fifths of the screen height and half
// its width, never at a negative position.
void CENTERFORM(QWidget* window);

// Moves a window that would cover another one shown on screen to just below
// it, or when the screen has no room there, above it, so that both can be
// read; as far as the screen allows otherwise. Its left edge stays.
void placeClearOf(QWidget* window, const QWidget* other);

} // namespace kora

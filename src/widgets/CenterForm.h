#pragma once

class QWidget;

namespace kora {

// Twips are the unit in which window sizes are given: 1440 to the inch.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// Places a window with its centre at two fifths of the screen height and half
// its width, never at a negative position.
void CENTERFORM(QWidget* window);

} // namespace kora

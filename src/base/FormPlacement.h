#pragma once

namespace kora {

// Where a window goes on the screen, in twips: its centre at two fifths of
// the screen height and half its width, never at a negative position.
struct FormPlacement
{
    long top;
    long left;

    static FormPlacement centred(long screenWidth, long screenHeight, long windowWidth,
                                 long windowHeight);
};

} // namespace kora

#pragma once

namespace kora {

// The columns of a lookup's result grid, numbered as the grid shows them; a
// click on a heading orders the grid by its column where that column sorts.
enum class GridColumn
{
    File = 0,
    Effective = 1,
    Name = 2,
    Expires = 3,
    Omit = 4
};

} // namespace kora

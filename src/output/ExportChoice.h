#pragma once

namespace kora {

// The layouts of an export file, numbered as the export window's format options;
// the workbook is the fifth option.
enum class ExportLayout
{
    Comma = 0,
    Tab = 1,
    Fixed = 2,
    Limited = 3,
    Workbook = 4
};

// The orders of an export: by name, by month and day of the latest expiration
// (December 31 first), by renewal (that month and day from today on, then
// those before today), or by zip code.
enum class ExportSort
{
    Name,
    Expiration,
    Renewal,
    Zip
};

// What the user chose in the export window.
struct ExportChoice
{
    ExportLayout layout = ExportLayout::Comma;
    ExportSort sort = ExportSort::Name;
    bool properCase = false; // "Convert to lower case"

    // The full layouts carry 8 mods and 10 classes; the limited one 4 mods and no classes.
    int modSlots() const { return layout == ExportLayout::Limited ? 4 : 8; }
    int classSlots() const { return layout == ExportLayout::Limited ? 0 : 10; }
};

} // namespace kora

#pragma once

namespace kora {

// How a label report meets the sheet in the printer: the place of the first
// label on a sheet already partly used, and a shift of every label page in
// 1/32 inch steps that makes up for a printer that does not print where the
// sheet's labels are. A test sheet outlines every place instead of printing
// companies, to be held against a sheet of labels.
struct LabelSheet
{
    static constexpr int kStepsPerInch = 32;
    static constexpr int kMostLabels = 30; // places on the largest sheet

    int firstLabel = 1; // from 1; the places before it stay empty
    int across = 0;     // to the right, negative to the left
    int down = 0;       // downwards, negative upwards
    bool testSheet = false;
};

} // namespace kora

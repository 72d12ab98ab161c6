#pragma once

namespace kora {

// A field of a fixed-length update record: its first position, counted from 1,
// and its width.
struct RecordField
{
    int position;
    int width;
};

// The record layouts of the update files. Readers (the loads) and writers (the
// demo data) share them.
namespace CompanyRecord {
inline constexpr int kLength = 502;
inline constexpr RecordField kState{1, 2};
inline constexpr RecordField kFile{3, 7};
inline constexpr RecordField kSequence{14, 2};
inline constexpr RecordField kName1{28, 40};
inline constexpr RecordField kName2{68, 38};
inline constexpr RecordField kStreet{106, 40};
inline constexpr RecordField kCity{146, 22};
inline constexpr RecordField kSt{168, 2};
inline constexpr RecordField kZip{170, 5};
inline constexpr RecordField kCounty{175, 3};
inline constexpr RecordField kPhone{178, 12};
inline constexpr RecordField kArea{178, 3};
inline constexpr RecordField kSic{191, 4};
inline constexpr RecordField kAssociates{305, 1};
inline constexpr RecordField kContact{306, 30};
inline constexpr RecordField kNjArMonth{336, 2};
inline constexpr RecordField kNjArYear{338, 2};
inline constexpr RecordField kNjPpap{340, 3};
inline constexpr RecordField kNjCcpap{343, 3};
inline constexpr RecordField kEmployees{346, 1};
inline constexpr RecordField kSales{347, 1};
inline constexpr RecordField kConditional{355, 14};
inline constexpr RecordField kArEstPrem{369, 7};
inline constexpr RecordField kArTotPrem{376, 7};
inline constexpr RecordField kArTotLoss{383, 7};
inline constexpr RecordField kTitle{401, 30};
inline constexpr RecordField kZipExt{431, 4};
inline constexpr RecordField kFax{489, 12};

// New York records differ in these fields; FILE is three pieces stored joined
// by single blanks.
inline constexpr RecordField kNyFile[3] = {{3, 3}, {6, 2}, {8, 2}};
inline constexpr RecordField kNySequence{10, 2};
inline constexpr RecordField kNyName1{28, 35};
inline constexpr RecordField kNyStreet{68, 34};
inline constexpr RecordField kNyRevised{355, 1};
inline constexpr RecordField kNyInterstate{356, 1};

// Five mod slots; the fields of slot k are offsets from kSlotStart + k * kSlotLength.
inline constexpr int kSlotCount = 5;
inline constexpr int kSlotStart = 195;
inline constexpr int kSlotLength = 22;
inline constexpr RecordField kSlotIssue{0, 6};
inline constexpr RecordField kSlotEffective{6, 6};
inline constexpr RecordField kSlotExpire{12, 6};
inline constexpr RecordField kSlotMod{18, 4};

constexpr RecordField slotField(int slot, RecordField field)
{
    return {kSlotStart + slot * kSlotLength + field.position, field.width};
}
} // namespace CompanyRecord

namespace ClassListRecord {
inline constexpr int kLength = 57;
inline constexpr RecordField kClass{2, 4};
inline constexpr RecordField kDesc{6, 50};
} // namespace ClassListRecord

namespace ClassRecord {
inline constexpr int kLength = 52;
inline constexpr RecordField kClass{2, 4};
inline constexpr RecordField kFile{7, 7};
inline constexpr RecordField kLossCost{18, 5};
inline constexpr RecordField kSequence{23, 2};
inline constexpr RecordField kNyFile[3] = {{7, 3}, {10, 2}, {12, 2}};
inline constexpr RecordField kNySequence{14, 2};
inline constexpr RecordField kNyLossCost{16, 7};
} // namespace ClassRecord

namespace CountyRecord {
inline constexpr int kLength = 36;
inline constexpr RecordField kCode{2, 3};
inline constexpr RecordField kName{5, 30};
} // namespace CountyRecord

namespace SicRecord {
inline constexpr int kLength = 52;
inline constexpr RecordField kCode{1, 5};
inline constexpr RecordField kDesc{9, 42};
} // namespace SicRecord

namespace AddressRecord {
inline constexpr int kLength = 327;
inline constexpr RecordField kFile[3] = {{3, 3}, {6, 2}, {8, 2}};
inline constexpr RecordField kSequence{10, 2};
inline constexpr int kLineCount = 8;

constexpr RecordField line(int k)
{
    return {19 + 38 * k, 35};
}
} // namespace AddressRecord

} // namespace kora

#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kora {

// A report definition file of the program folder: plain text, one statement a
// line, '#' starts a comment, lengths in inches, font sizes in points.
//
//   page 8.5 11                      sheet width and height
//   margins 0.5 0.6 0.5 0.6          top left bottom right
//   font body "DejaVu Sans" 9 [bold]
//   grid 3 10 2.625 1 0.125 0        labels: columns rows width height gaps
//   per-page 6                       records on a page (detail 1)
//   header 0.6 | footer 0.35 | record 1.6     start a band of that height
//   continued 0.4                    the band atop a page that a long note goes
//                                     on to, with the fields of its record
//   text X Y FONT "template" [right]  a line at X (or ending at X)
//   lines X Y WIDTH STEP FONT "t1" "t2" ...  filled lines one below another,
//                                     each shrunk to fit the width
//   rows X Y STEP FIRST LAST FONT "template with {n}" [right | WIDTH]
//                                     a column of a table, {n} from FIRST to LAST;
//                                     a WIDTH shrinks a value to fit it
//   rule X Y WIDTH                    a thin line
//   wrap X Y WIDTH FONT FIELD [LINES] flowing text; without LINES continued on
//                                     further pages
//
// A template holds {FIELD}, {FIELD:date} (MM/DD/YYYY), {FIELD:money} (two decimals), {FIELD:mod}
// (three), {FIELD:amount} (a whole amount of digits: "0102384" as 102,384), {FIELD:yesno}, and the
// values {SEARCHNAME}, {STATE}, {PAGE} and {TODAY}.
class ReportDefinition
{
public:
    struct Font
    {
        std::string family;
        double points = 9;
        bool bold = false;
    };

    struct Item
    {
        enum class Kind
        {
            Text,
            Lines,
            Rows,
            Rule,
            Wrap
        };
        Kind kind = Kind::Text;
        double x = 0;
        double y = 0;
        double width = 0;
        double step = 0;
        int first = 0;
        int last = 0;
        bool right = false;
        std::string font;
        std::vector<std::string> texts;
    };

    struct Band
    {
        double height = 0;
        std::vector<Item> items;
    };

    struct ParseError : std::runtime_error
    {
        using std::runtime_error::runtime_error;
    };

    // Throws ParseError naming the line that cannot be read.
    static ReportDefinition parse(const std::string& text);
    // Reads the file; throws ParseError when it is missing or cannot be read.
    static ReportDefinition load(const std::string& path);

    double pageWidth = 8.5;
    double pageHeight = 11;
    double top = 0.5, left = 0.5, bottom = 0.5, right = 0.5;
    int columns = 1;
    int rows = 1;
    double cellWidth = 0;
    double cellHeight = 0;
    double columnGap = 0;
    double rowGap = 0;
    int perPage = 1;
    std::map<std::string, Font> fonts;
    Band header;
    Band footer;
    Band record;
    Band continued;
    bool isGrid() const { return cellWidth > 0; }
};

} // namespace kora

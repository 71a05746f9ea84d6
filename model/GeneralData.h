#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brelloc {

// The problem parameters. Lengths are in units of L, the horizontal distance
// between the two drains, so every value is dimensionless.
struct GeneralData {
    double HL = 0.2;             // H/L: height of the left drain above the right one
    double NK = 0.5;             // N/k: infiltration rate over permeability
    double XmaxL = 3.0;          // half the size of the figure window
    std::int32_t Squares = 10;   // potential-line intervals between the drains
    double PotentialStep = 0.02; // HL / Squares
    double TexScale = 100.0;     // PicTeX units per model unit: 300 / XmaxL
    std::int32_t Divisions = 100; // cells of the parameter strip per unit
    double DepthLimit = 1.8;     // largest eta of the traced drain boundaries
    double Pi = 3.141592653589793;
};

// The grid rows, in the order the grid shows them.
enum GridRow : int { RowHL = 0, RowNK = 1, RowXmaxL = 2, RowSquares = 3 };
constexpr int kGridRowCount = 4;

// Longer grid texts are cut to this many characters before they are read.
// Texts are UTF-8: a character is a code point, whatever its byte count.
constexpr std::size_t kRowTextLimit = 40;

// The number of characters (code points) of a UTF-8 text.
std::size_t CharacterCount(std::string_view text);

// The bytes the first `characters` characters of a UTF-8 text take.
std::size_t CharacterPrefixBytes(std::string_view text, std::size_t characters);

void InitDefaults(GeneralData& data);
void UpdateDerived(GeneralData& data);

// Display text of a row's value: "%12.3f" for the real rows, "%6d" for the
// number of squares, always with a full stop as decimal point.
std::string RowText(const GeneralData& data, int row);

// What reading a grid text gave, for callers that tell the user about it.
struct RowReading {
    double value = 0.0;         // the value stored (rows 0 to 2 as read; row 3 as integer)
    double read = 0.0;          // the number as read, before any replacement (0 for none)
    bool partlyRead = false;    // text after the number was ignored (or cut at 40 characters)
    bool noNumber = false;      // nothing that reads as a number
    bool replaced = false;      // the number read was out of range, NaN or infinite
};

// Reads a row's text by the row's rule without storing it; only the first
// `limit` characters are read.
RowReading ReadRowText(int row, std::string_view text, std::size_t limit = kRowTextLimit);

// Reads the text by the row's rule, stores it in the row's field and returns
// the display text of the stored value. Derived values are left alone; the
// caller runs UpdateDerived afterwards. The row's own display text is read
// whole: a value of 1e36 or more shows more than 40 characters, and leaving
// its row unedited must not turn it into the number its first 40 make.
std::string CommitRow(GeneralData& data, int row, std::string_view text);

} // namespace brelloc
